#include "shell/FileFilter.h"

#include "platform/Codepage.h"

#include <array>

namespace {

// The pieces of text between '|' up to the first empty piece after a pair.
std::vector<std::string_view> SplitBars(std::string_view text)
{
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t bar = text.find('|', start);
        const size_t end = bar == std::string_view::npos ? text.size() : bar;
        pieces.push_back(text.substr(start, end - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    return pieces;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string CaseBlindPattern(std::string_view pattern)
{
    // The lower-case partner of every upper-case letter of the code page.
    static const auto kLower = [] {
        std::array<unsigned char, 256> lower{};
        for (int b = 0; b < 256; ++b)
            lower[b] = static_cast<unsigned char>(b);
        for (int b = 255; b >= 0; --b) {
            const unsigned char upper = Cp1257ToUpper(static_cast<unsigned char>(b));
            if (upper != b)
                lower[upper] = static_cast<unsigned char>(b);
        }
        return lower;
    }();

    std::string out;
    bool inSet = false; // inside a "[...]" of the pattern itself
    for (const char c : pattern) {
        const unsigned char upper = Cp1257ToUpper(static_cast<unsigned char>(c));
        const unsigned char lower = kLower[upper];
        if (upper == lower) {
            out += c;
            if (c == '[')
                inSet = true;
            else if (c == ']')
                inSet = false;
            continue;
        }
        if (!inSet)
            out += '[';
        out += static_cast<char>(lower);
        out += static_cast<char>(upper);
        if (!inSet)
            out += ']';
    }
    return out;
}

std::vector<std::string> ToQtNameFilters(std::string_view filter)
{
    std::vector<std::string> out;
    const std::vector<std::string_view> pieces = SplitBars(filter);
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
        const std::string_view text = Trim(pieces[i]);
        if (text.empty() && pieces[i + 1].empty())
            break;
        std::string patterns;
        std::string_view rest = pieces[i + 1];
        while (!rest.empty()) {
            const size_t semicolon = rest.find(';');
            const std::string_view one = Trim(rest.substr(0, semicolon));
            if (!one.empty()) {
                if (!patterns.empty())
                    patterns += ' ';
                patterns += CaseBlindPattern(one);
            }
            rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
        }
        out.push_back(std::string(text.empty() ? std::string_view("*") : text) + " (" +
                      (patterns.empty() ? std::string("*") : patterns) + ")");
    }
    return out;
}
