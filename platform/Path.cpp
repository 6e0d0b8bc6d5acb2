#include "platform/Path.h"

#include "platform/Codepage.h"

#include <QString>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::mutex g_driveMutex;
std::map<char, std::string>& DriveFolders()
{
    static std::map<char, std::string> folders;
    return folders;
}

bool Exists(const std::string& native)
{
    struct stat st;
    return ::lstat(native.c_str(), &st) == 0;
}

QString Fold(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toCaseFolded();
}

// The entry of folder whose name equals name ignoring case, or empty.
std::string FindNoCase(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return std::string();
    QString wanted = Fold(name);
    std::string found;
    while (dirent* entry = ::readdir(dir)) {
        std::string candidate = entry->d_name;
        if (candidate == "." || candidate == "..")
            continue;
        if (Fold(candidate) == wanted) {
            found = candidate;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

void SetDriveFolder(char driveLetter, std::string nativeFolder)
{
    std::lock_guard<std::mutex> lock(g_driveMutex);
    DriveFolders()[static_cast<char>(std::toupper(static_cast<unsigned char>(driveLetter)))] = std::move(nativeFolder);
}

std::string ResolvePath(std::string_view storedPath)
{
    std::string path = Cp1257ToUtf8(storedPath);
    for (char& c : path)
        if (c == '\\')
            c = '/';

    // root is empty (relative), or a folder ending with '/'.
    std::string root;
    size_t pos = 0;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        {
            std::lock_guard<std::mutex> lock(g_driveMutex);
            auto it = DriveFolders().find(drive);
            if (it != DriveFolders().end())
                root = it->second;
        }
        while (!root.empty() && root.back() == '/')
            root.pop_back();
        root += '/';
        pos = 2;
    } else if (!path.empty() && path[0] == '/') {
        root = "/";
    }

    std::string current = root;
    bool matching = true;
    while (pos < path.size()) {
        size_t next = path.find('/', pos);
        if (next == std::string::npos)
            next = path.size();
        std::string part = path.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty())
            continue; // doubled separators
        std::string candidate = current + part;
        if (matching && part != "." && part != ".." && !Exists(candidate)) {
            std::string found = FindNoCase(current.empty() ? "." : current, part);
            if (found.empty())
                matching = false; // nothing below a missing folder can match
            else
                candidate = current + found;
        }
        current = candidate + "/";
    }
    if (current.empty())
        return ".";
    if (current.size() > 1 && current.back() == '/' && !(!path.empty() && path.back() == '/'))
        current.pop_back();
    return current;
}

std::string FromNativePath(std::string_view nativePath)
{
    return Utf8ToCp1257(nativePath);
}

std::string MakeFullPath(std::string_view storedPath)
{
    std::string whole(storedPath);
    const bool rooted = (whole.size() >= 2 && whole[1] == ':') || (!whole.empty() && IsPathSeparator(whole[0]));
    if (!rooted) {
        std::string folder = "/";
        if (char* cwd = ::getcwd(nullptr, 0)) {
            folder = FromNativePath(cwd);
            std::free(cwd);
        }
        whole = folder + '/' + whole;
    }
    std::string full = "/";
    std::string_view rest = whole;
    if (whole.size() >= 2 && whole[1] == ':') {
        full = whole.substr(0, 2) + '/';
        rest.remove_prefix(2);
    }
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const size_t next = rest.find_first_of("\\/");
        const std::string_view part = rest.substr(0, next);
        rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    for (size_t i = 0; i < parts.size(); ++i)
        full.append(i > 0 ? "/" : "").append(parts[i]);
    if (!parts.empty() && !storedPath.empty() && IsPathSeparator(storedPath.back()))
        full += '/';
    return full;
}

std::string FindSiblingByExtension(std::string_view storedPath, std::string_view extension)
{
    std::string ext(extension);
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    std::string base(storedPath);
    size_t slash = base.find_last_of("\\/");
    size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        base.erase(dot);
    std::string wanted = base + "." + ext;

    std::string native = ResolvePath(wanted);
    if (Exists(native)) {
        // Give back the name as it stands on disk, in the stored path's own folder form.
        size_t nativeSlash = native.find_last_of('/');
        std::string diskName = FromNativePath(native.substr(nativeSlash == std::string::npos ? 0 : nativeSlash + 1));
        size_t storedSlash = wanted.find_last_of("\\/");
        return (storedSlash == std::string::npos ? std::string() : wanted.substr(0, storedSlash + 1)) + diskName;
    }
    return wanted;
}

bool PathExists(std::string_view storedPath)
{
    return Exists(ResolvePath(storedPath));
}

bool IsFolder(std::string_view storedPath)
{
    struct stat st {};
    return ::stat(ResolvePath(storedPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(std::string_view storedPath)
{
    return ::unlink(ResolvePath(storedPath).c_str()) == 0;
}

bool RenameFile(std::string_view fromStoredPath, std::string_view toStoredPath)
{
    return std::rename(ResolvePath(fromStoredPath).c_str(), ResolvePath(toStoredPath).c_str()) == 0;
}

bool MakeFolder(std::string_view storedPath)
{
    return ::mkdir(ResolvePath(storedPath).c_str(), 0755) == 0;
}

bool MakeFolders(std::string_view storedPath)
{
    const std::string native = ResolvePath(storedPath);
    for (size_t i = 1; i <= native.size(); ++i)
        if (i == native.size() || native[i] == '/')
            ::mkdir(native.substr(0, i).c_str(), 0755);
    struct stat folder {};
    return ::stat(native.c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
}

bool IsSameFile(std::string_view storedPath1, std::string_view storedPath2)
{
    struct stat a {};
    struct stat b {};
    return ::stat(ResolvePath(storedPath1).c_str(), &a) == 0 && ::stat(ResolvePath(storedPath2).c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool GetFileModifiedTime(std::string_view storedPath, int64_t& nanoseconds)
{
    FileStamp stamp;
    if (!GetFileStamp(storedPath, stamp))
        return false;
    nanoseconds = stamp.modified;
    return true;
}

bool GetFileStamp(std::string_view storedPath, FileStamp& stamp)
{
    struct stat st {};
    if (::stat(ResolvePath(storedPath).c_str(), &st) != 0)
        return false;
    stamp.size = static_cast<int64_t>(st.st_size);
    stamp.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}
