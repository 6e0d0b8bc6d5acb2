#include "shell/CommandText.h"

#include "platform/Strings.h"

std::string GetCommandPrompt(int id)
{
    const std::string text = LoadString(id);
    return text.substr(0, text.find('\n'));
}

std::string GetCommandToolTip(int id)
{
    const std::string text = LoadString(id);
    const size_t lineBreak = text.find('\n');
    return lineBreak == std::string::npos ? text : text.substr(lineBreak + 1);
}
