#include "shell/RecentFileList.h"

#include "platform/AppProfile.h"
#include "platform/NumberText.h"
#include "platform/Path.h"

#include <algorithm>

namespace {

constexpr const char* kSection = "Recent File List";
constexpr size_t kMenuPathLength = 40;

std::string EntryKey(int index)
{
    return FormatC("File%d", index + 1);
}

bool SamePath(const std::string& a, const std::string& b)
{
    return a == b || IsSameFile(a, b);
}

// "/a/b/c/d/file.map" -> ".../d/file.map" when the whole is too long;
// the file name always stays.
std::string ShortenPath(const std::string& path)
{
    if (path.size() <= kMenuPathLength)
        return path;
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos || cut == 0)
        return path;
    // Keep as many trailing folders as fit beside "...".
    size_t keep = cut;
    while (true) {
        const size_t previous = keep == 0 ? std::string::npos : path.find_last_of("/\\", keep - 1);
        if (previous == std::string::npos || path.size() - previous + 3 > kMenuPathLength)
            break;
        keep = previous;
    }
    return "..." + path.substr(keep);
}

} // namespace

CRecentFileList::CRecentFileList(int size) : m_maxSize(std::max(1, size)) {}

void CRecentFileList::Load()
{
    m_paths.clear();
    CAppProfile& profile = CAppProfile::Instance();
    for (int i = 0; i < m_maxSize; ++i) {
        const std::string path = profile.GetString(kSection, EntryKey(i));
        if (!path.empty() && Find(path) < 0)
            m_paths.push_back(path);
    }
}

void CRecentFileList::Save() const
{
    CAppProfile& profile = CAppProfile::Instance();
    for (int i = 0; i < m_maxSize; ++i) {
        if (i < GetSize())
            profile.WriteString(kSection, EntryKey(i), m_paths[static_cast<size_t>(i)]);
        else
            profile.DeleteKey(kSection, EntryKey(i));
    }
}

int CRecentFileList::Find(const std::string& path) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (SamePath(m_paths[static_cast<size_t>(i)], path))
            return i;
    return -1;
}

void CRecentFileList::Add(const std::string& path)
{
    if (path.empty())
        return;
    const int old = Find(path);
    if (old >= 0)
        m_paths.erase(m_paths.begin() + old);
    m_paths.insert(m_paths.begin(), path);
    if (GetSize() > m_maxSize)
        m_paths.resize(static_cast<size_t>(m_maxSize));
    Save();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= GetSize())
        return;
    m_paths.erase(m_paths.begin() + index);
    Save();
}

void CRecentFileList::RemovePath(const std::string& path)
{
    Remove(Find(path));
}

std::string CRecentFileList::GetAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_paths[static_cast<size_t>(index)] : std::string();
}

std::string CRecentFileList::GetMenuText(int index) const
{
    std::string text = FormatC("&%d ", index + 1);
    for (const char c : ShortenPath(GetAt(index))) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}
