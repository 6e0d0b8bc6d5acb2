#include "layers/PointStyle.h"

#include "layers/StyleSource.h"
#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "platform/Path.h"

#include <deque>
#include <mutex>
#include <unordered_map>

namespace {

std::mutex g_namesMutex;
std::deque<std::string> g_names; // reference n is g_names[n - 1]
std::unordered_map<std::string, uint32_t> g_refByUpperName;

std::string UpperName(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper)
        c = static_cast<char>(Cp1257ToUpper(static_cast<unsigned char>(c)));
    return upper;
}

// path without the folder when it lies under it (ignoring case and the kind of separator).
std::string_view WithoutFolder(std::string_view path, std::string_view folder)
{
    if (folder.empty() || path.size() <= folder.size())
        return path;
    for (size_t i = 0; i < folder.size(); ++i) {
        const bool bothSeparators = IsPathSeparator(path[i]) && IsPathSeparator(folder[i]);
        if (!bothSeparators && Cp1257ToUpper(static_cast<unsigned char>(path[i])) !=
                                   Cp1257ToUpper(static_cast<unsigned char>(folder[i])))
            return path;
    }
    return path.substr(folder.size());
}

} // namespace

std::string CPointStyle::GetName() const
{
    std::lock_guard<std::mutex> lock(g_namesMutex);
    if (nameRef == 0 || nameRef > g_names.size())
        return std::string();
    return g_names[nameRef - 1];
}

void CPointStyle::SetName(std::string_view name)
{
    if (kind == kPicture)
        name = WithoutFolder(name, GetProgramFolder());
    if (name.empty()) {
        nameRef = 0;
        return;
    }
    std::string upper = UpperName(name);
    std::lock_guard<std::mutex> lock(g_namesMutex);
    auto found = g_refByUpperName.find(upper);
    if (found != g_refByUpperName.end()) {
        nameRef = found->second;
        return;
    }
    g_names.emplace_back(name);
    nameRef = static_cast<uint32_t>(g_names.size());
    g_refByUpperName.emplace(std::move(upper), nameRef);
}

CPointStyle CPointStyle::Default()
{
    CPointStyle style;
    style.symbol = static_cast<uint16_t>(static_cast<unsigned>(StyleSource().NextRandom()) % kDrawnShapes);
    return style;
}
