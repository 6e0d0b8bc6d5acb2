#include "mapdoc/ResultFiles.h"

#include "core/FileUtil.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/Stream.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kMaxTitleTries = 1000;

// The files that make up a layer with the data file's extension, beside it.
std::vector<std::string> CompanionsOf(const std::string& extension)
{
    if (EqualsNoCase1257(extension, "gdb"))
        return {"vec", "dbf", "fpt", "spx"};
    if (EqualsNoCase1257(extension, "shp"))
        return {"shx", "dbf", "fpt", "spx"};
    if (EqualsNoCase1257(extension, "dbf") || EqualsNoCase1257(extension, "trk"))
        return {"fpt", "spx"};
    return {};
}

bool Contains(const std::vector<std::string>& extensions, const std::string& extension)
{
    return std::any_of(extensions.begin(), extensions.end(),
                       [&extension](const std::string& e) { return EqualsNoCase1257(e, extension); });
}

void RemoveMatching(const std::string& folder, const std::string& pattern)
{
    for (const std::string& name : FindMatchingFiles(folder + pattern))
        RemoveFile(folder + name);
}

} // namespace

CResultFiles::CResultFiles(std::string path) : m_path(std::move(path))
{
    const size_t separator = m_path.find_last_of("\\/");
    m_folder = separator == std::string::npos ? std::string() : m_path.substr(0, separator + 1);
    m_title = GetPathTitle(m_path);
    m_extension = GetPathExtension(m_path);
}

std::vector<std::string> CResultFiles::LayerFiles(const std::string& path)
{
    std::vector<std::string> files{path};
    for (const std::string& extension : CompanionsOf(GetPathExtension(path)))
        files.push_back(MakePathWithExtension(path, "." + extension));
    return files;
}

std::string CResultFiles::ExistingLayerFile(const std::string& path)
{
    for (const std::string& file : LayerFiles(path))
        if (PathExists(file))
            return file;
    return {};
}

CResultFiles::~CResultFiles()
{
    Discard();
}

bool CResultFiles::Reserve()
{
    Discard();
    if (m_title.empty() || m_extension.empty())
        return false;
    const std::string stem = "~" + m_title + "_" + std::to_string(::getpid()) + "_";
    for (int n = 0; n < kMaxTitleTries; ++n) {
        const std::string title = stem + std::to_string(n);
        // Left over from a program that ended abruptly: not to be taken along.
        if (FileExists(m_folder + title + ".*"))
            continue;
        const std::string path = m_folder + title + "." + m_extension;
        int error = 0;
        if (CFileStream::Open(path, FileMode::CreateNew, &error)) {
            m_tempTitle = title;
            m_writePath = path;
            return true;
        }
        if (error != EEXIST)
            return false;
    }
    return false;
}

std::string CResultFiles::Target(const std::string& extension) const
{
    return m_folder + m_title + "." + extension;
}

std::string CResultFiles::Temporary(const std::string& extension) const
{
    return m_folder + m_tempTitle + "." + extension;
}

std::string CResultFiles::Backup(const std::string& extension) const
{
    return m_folder + m_tempTitle + "_old." + extension;
}

std::vector<std::string> CResultFiles::WrittenExtensions() const
{
    std::vector<std::string> extensions;
    bool dataFile = false;
    for (const std::string& name : FindMatchingFiles(m_folder + m_tempTitle + ".*")) {
        std::string extension = name.substr(m_tempTitle.size() + 1);
        if (EqualsNoCase1257(extension, m_extension))
            dataFile = true;
        else
            extensions.push_back(std::move(extension));
    }
    // The data file goes last: a reader finds the layer only once all is there.
    if (dataFile)
        extensions.push_back(m_extension);
    return extensions;
}

bool CResultFiles::Commit()
{
    if (m_tempTitle.empty())
        return false;
    const std::vector<std::string> written = WrittenExtensions();
    if (!Contains(written, m_extension)) {
        Discard();
        return false;
    }
    // The old files of the name step aside first, so that they can come
    // back whole when a rename fails.
    std::vector<std::string> replaced = written;
    for (const std::string& extension : CompanionsOf(m_extension))
        if (!Contains(replaced, extension))
            replaced.push_back(extension);
    // A folder of the name is no file to replace.
    for (const std::string& extension : replaced)
        if (IsFolder(Target(extension))) {
            Discard();
            return false;
        }
    std::vector<std::pair<std::string, std::string>> aside; // the old file as it was named, its backup
    std::vector<std::string> placed;
    bool done = true;
    for (const std::string& extension : replaced) {
        const std::string target = Target(extension);
        if (!PathExists(target))
            continue;
        const std::string old = FromNativePath(ResolvePath(target));
        if (!RenameFile(old, Backup(extension))) {
            done = false;
            break;
        }
        aside.emplace_back(old, Backup(extension));
    }
    for (size_t i = 0; done && i < written.size(); ++i) {
        if (!RenameFile(Temporary(written[i]), Target(written[i]))) {
            done = false;
            break;
        }
        placed.push_back(written[i]);
    }
    if (!done) {
        for (const std::string& extension : placed)
            RenameFile(Target(extension), Temporary(extension));
        for (const auto& [old, backup] : aside)
            RenameFile(backup, old);
        Discard();
        return false;
    }
    for (const auto& [old, backup] : aside)
        RemoveFile(backup);
    m_tempTitle.clear();
    m_writePath.clear();
    return true;
}

void CResultFiles::Discard()
{
    if (m_tempTitle.empty())
        return;
    RemoveMatching(m_folder, m_tempTitle + ".*");
    // The work files of writers that write beside their file and rename.
    RemoveMatching(m_folder, "~" + m_tempTitle + ".*");
    m_tempTitle.clear();
    m_writePath.clear();
}
