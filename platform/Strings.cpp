#include "platform/Strings.h"

#include "platform/Codepage.h"
#include "res/StringTable.h"

std::string LoadString(int id)
{
    const char* utf8 = LoadStringUtf8(id);
    return utf8 ? Utf8ToCp1257(utf8) : std::string();
}

namespace {

// Replaces "%1" ... "%9" by the arguments there are; other markers stay.
std::string InsertArgs(const std::string& text, const std::string* args, size_t count)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t n = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : count;
        if (text[i] == '%' && n < count) {
            out += args[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

std::string LoadStringArg(int id, const std::string& arg)
{
    return InsertArgs(LoadString(id), &arg, 1);
}

std::string LoadStringArgs(int id, const std::string& arg1, const std::string& arg2)
{
    return InsertStringArgs(LoadString(id), arg1, arg2);
}

std::string InsertStringArgs(const std::string& text, const std::string& arg1, const std::string& arg2)
{
    const std::string args[] = {arg1, arg2};
    return InsertArgs(text, args, 2);
}
