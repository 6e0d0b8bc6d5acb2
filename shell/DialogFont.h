#pragma once

#include "platform/Font.h"
#include "platform/Gdi.h"

// The font of the program's dialogs and lists, "MS Sans Serif" 8 pt on a
// 96-dpi screen, in the weight asked for.
CFont MakeDialogFont(int weight = FW_NORMAL);
