#include "shell/TwoColumnLine.h"

bool ReadTwoColumnLine(std::istream& file, std::string& first, std::string& second)
{
    std::string line;
    if (!std::getline(file, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) {
        first = std::move(line);
        second.clear();
        return true;
    }
    first = line.substr(0, tab);
    second = line.substr(tab + 1);
    return true;
}
