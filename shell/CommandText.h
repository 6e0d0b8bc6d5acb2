#pragma once

#include <string>

// The texts of a command from its string (the string with the command's
// id): the status-bar prompt before the first line break, the tool tip
// after it (the prompt when there is no break). Code page 1257; empty when
// the table has no string for the id.
std::string GetCommandPrompt(int id);
std::string GetCommandToolTip(int id);
