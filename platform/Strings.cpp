#include "platform/Strings.h"

#include "platform/Codepage.h"
#include "res/StringTable.h"

std::string LoadString(int id)
{
    const char* utf8 = LoadStringUtf8(id);
    return utf8 ? Utf8ToCp1257(utf8) : std::string();
}

std::string LoadStringArg(int id, const std::string& arg)
{
    return LoadStringArgs(id, {arg});
}

std::string LoadStringArgs(int id, const std::vector<std::string>& args)
{
    std::string text = LoadString(id);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t n = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : args.size();
        if (text[i] == '%' && n < 9 && n < args.size()) {
            out += args[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
