#include "shell/StartupChoice.h"

#include "platform/Codepage.h"

CStartArguments ParseStartArguments(const std::vector<std::string>& arguments)
{
    CStartArguments parsed;
    for (const std::string& argument : arguments) {
        if (!parsed.commandText.empty())
            parsed.commandText += ' ';
        parsed.commandText += argument;
        if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
            continue;
        const std::string_view flag = std::string_view(argument).substr(1);
        parsed.embedded = parsed.embedded || EqualsNoCase1257(flag, "Embedding");
        parsed.automated = parsed.automated || EqualsNoCase1257(flag, "Automation");
    }
    return parsed;
}

CFirstMapChoice ChooseFirstMap(const CStartArguments& arguments, int linkCount, const std::string& mostRecentFile)
{
    CFirstMapChoice choice;
    if (!arguments.commandText.empty()) {
        if (!arguments.embedded && !arguments.automated && arguments.commandText.compare(0, 4, "/dde") != 0) {
            choice.action = CFirstMapChoice::kOpenFile;
            choice.path = arguments.commandText;
        }
    } else if (linkCount <= 0) {
        if (!mostRecentFile.empty()) {
            choice.action = CFirstMapChoice::kOpenFile;
            choice.path = mostRecentFile;
        }
    } else if (linkCount == 1) {
        choice.action = CFirstMapChoice::kOpenLink;
        choice.link = 0;
    } else {
        choice.action = CFirstMapChoice::kChooseLink;
    }
    return choice;
}

bool UsesOwnMessageBox(const std::string& language)
{
    return language != "English";
}
