#include "shell/MapLinks.h"

#include "core/FileUtil.h"
#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "shell/ProgramIniFile.h"

#include <algorithm>

namespace {

constexpr char kSection[] = "MapLink";
constexpr size_t kTitleCap = 100;
constexpr size_t kPathCap = 260;
constexpr int kAlreadyLinked = 1068;
constexpr int kCannotRemoveFile = 1114;

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::any_of(names.begin(), names.end(),
                       [&name](const std::string& n) { return EqualsNoCase1257(n, name); });
}

} // namespace

void CMapLinks::LoadMapLinks()
{
    m_titles.clear();
    m_mapPaths.clear();
    m_linkFiles.clear();
    const std::string programFolder = GetProgramFolder();
    std::vector<std::string> seen;
    for (const std::string& folder : {GetUserFolder(), programFolder}) {
        for (const std::string& name : FindMatchingFiles(folder + "*.mln")) {
            if (Contains(seen, name))
                continue;
            seen.push_back(name);
            const std::string linkFile = folder + name;
            Append(GetPrivateProfileString(kSection, "Title", "", linkFile, kTitleCap),
                   MakeAbsolutePath(GetPrivateProfileString(kSection, "Path", "", linkFile, kPathCap), programFolder),
                   linkFile);
        }
    }
}

std::string CMapLinks::GetTitle(int index) const
{
    return index >= 0 && index < GetCount() ? m_titles[static_cast<size_t>(index)] : std::string();
}

std::string CMapLinks::GetMapPath(int index) const
{
    return index >= 0 && index < GetCount() ? m_mapPaths[static_cast<size_t>(index)] : std::string();
}

std::string CMapLinks::GetLinkFilePath(int index) const
{
    return index >= 0 && index < GetCount() ? m_linkFiles[static_cast<size_t>(index)] : std::string();
}

bool CMapLinks::IsMapLinked(const std::string& mapPath) const
{
    return std::any_of(m_mapPaths.begin(), m_mapPaths.end(),
                       [&mapPath](const std::string& p) { return EqualPathsNoCase(p, mapPath); });
}

bool CMapLinks::HasTitle(const std::string& title) const
{
    return std::find(m_titles.begin(), m_titles.end(), title) != m_titles.end();
}

int CMapLinks::AddMapLink(const std::string& mapPath)
{
    if (IsMapLinked(mapPath)) {
        AppMessageBox(kAlreadyLinked, MB_OK | MB_ICONWARNING);
        return -1;
    }
    const std::string plainTitle = GetPathTitle(mapPath);
    std::string title = plainTitle;
    for (int n = 2; HasTitle(title); ++n)
        title = plainTitle + " (" + std::to_string(n) + ")";

    // A name free in both folders, so the new link shadows no other.
    std::string fileName = plainTitle + ".mln";
    for (int n = 2; PathExists(FindProgramFile(fileName)) || Contains(m_linkFiles, WritableProgramFile(fileName)); ++n)
        fileName = plainTitle + "_" + std::to_string(n) + ".mln";

    const std::string relative = MakeRelativePath(mapPath, GetProgramFolder());
    if (!UpdateProgramIniFile(fileName, [&](CIniFile& ini) {
            ini.SetString(kSection, "Title", plainTitle);
            ini.SetString(kSection, "Path", relative);
        }))
        return -1;
    Append(title, mapPath, WritableProgramFile(fileName));
    return GetCount() - 1;
}

bool CMapLinks::RenameMapLink(int index, const std::string& title)
{
    if (index < 0 || index >= GetCount())
        return false;
    const std::string fileName = GetPathFileName(m_linkFiles[static_cast<size_t>(index)]);
    if (!UpdateProgramIniFile(fileName, [&](CIniFile& ini) { ini.SetString(kSection, "Title", title); }))
        return false;
    m_titles[static_cast<size_t>(index)] = title;
    m_linkFiles[static_cast<size_t>(index)] = WritableProgramFile(fileName);
    return true;
}

bool CMapLinks::DeleteMapLink(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    const std::string& linkFile = m_linkFiles[static_cast<size_t>(index)];
    if (PathExists(linkFile) && !RemoveFile(linkFile)) {
        AppMessageBoxArg(kCannotRemoveFile, linkFile, MB_OK | MB_ICONWARNING);
        return false;
    }
    RemoveAt(index);
    return true;
}

void CMapLinks::Append(std::string title, std::string mapPath, std::string linkFile)
{
    m_titles.push_back(std::move(title));
    m_mapPaths.push_back(std::move(mapPath));
    m_linkFiles.push_back(std::move(linkFile));
}

void CMapLinks::RemoveAt(int index)
{
    const auto at = static_cast<ptrdiff_t>(index);
    m_titles.erase(m_titles.begin() + at);
    m_mapPaths.erase(m_mapPaths.begin() + at);
    m_linkFiles.erase(m_linkFiles.begin() + at);
}
