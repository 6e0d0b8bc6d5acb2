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
    std::string text = LoadString(id);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            out += arg;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
