#include "core/FileUtil.h"

#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/Stream.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int64_t kLockLength = 1000000000;

bool SameNoCase(char a, char b)
{
    if (IsPathSeparator(a) && IsPathSeparator(b))
        return true;
    return Cp1257ToUpper(static_cast<unsigned char>(a)) == Cp1257ToUpper(static_cast<unsigned char>(b));
}

// Index just after the folder part: after the last separator or drive colon.
size_t NameStart(std::string_view path)
{
    size_t pos = path.find_last_of("\\/:");
    return pos == std::string_view::npos ? 0 : pos + 1;
}

} // namespace

void ChangeExtension(std::string& path, std::string_view ext)
{
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos) {
        path += '.';
        path += ext;
    } else {
        path.replace(dot + 1, std::string::npos, ext);
    }
}

std::string ChangeExtensionCopy(std::string_view path, std::string_view ext)
{
    std::string copy(path);
    ChangeExtension(copy, ext);
    return copy;
}

void AddDefaultExtension(std::string& path, std::string_view ext)
{
    if (path.find('.') == std::string::npos) {
        path += '.';
        path += ext;
    }
}

std::string CopyWithDefaultExtension(std::string_view path, std::string_view ext)
{
    std::string copy(path);
    AddDefaultExtension(copy, ext);
    return copy;
}

std::string MakePathWithExtension(std::string_view path, std::string_view extWithPoint)
{
    size_t start = NameStart(path);
    return std::string(path.substr(0, start)) + GetPathTitle(path) + std::string(extWithPoint);
}

std::string GetPathFolder(std::string_view path)
{
    size_t sep = path.find_last_of("\\/");
    if (sep == std::string_view::npos || sep < 2)
        return std::string(path);
    return std::string(path.substr(0, sep + 1));
}

std::string GetPathTitle(std::string_view path)
{
    std::string_view name = path.substr(NameStart(path));
    size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string GetPathFileName(std::string_view path)
{
    return std::string(path.substr(NameStart(path)));
}

std::string GetPathExtension(std::string_view path)
{
    // Only a point in the file name starts an extension.
    std::string_view name = path.substr(NameStart(path));
    size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string MakeRelativePath(std::string_view path, std::string_view baseFolder)
{
    size_t i = 0;
    size_t lastSep = std::string_view::npos;
    while (i < baseFolder.size() && i < path.size() && SameNoCase(path[i], baseFolder[i])) {
        if (IsPathSeparator(path[i]))
            lastSep = i;
        ++i;
    }
    if (lastSep == std::string_view::npos || lastSep < 2)
        return std::string(path);

    // Written with backslashes so map files stay exchangeable with Windows.
    std::string out;
    for (size_t k = lastSep + 1; k < baseFolder.size(); ++k)
        if (IsPathSeparator(baseFolder[k]))
            out += "..\\";
    for (size_t k = lastSep + 1; k < path.size(); ++k)
        out += path[k] == '/' ? '\\' : path[k];
    return out;
}

std::string MakeAbsolutePath(std::string_view path, std::string_view baseFolder)
{
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path);
    if (path.size() >= 2 && path[0] == '\\' && IsPathSeparator(path[1]))
        return std::string(path);
    if (!path.empty() && path[0] == '/')
        return std::string(path); // a Linux absolute path
    if (baseFolder.empty())
        return std::string(path);
    if (!path.empty() && path[0] == '\\') {
        // The root of the base's drive; a base without a drive is a Linux folder.
        if (baseFolder.size() >= 2 && baseFolder[1] == ':')
            return std::string(baseFolder.substr(0, 2)) + std::string(path);
        return std::string(path);
    }

    std::string base(baseFolder);
    if (!IsPathSeparator(base.back()))
        base += '\\';
    const bool linuxRoot = base[0] == '/';
    std::string_view rest = path;
    while (rest.size() >= 3 && rest[0] == '.' && rest[1] == '.' && IsPathSeparator(rest[2])) {
        // Drop the base's last folder: back to the separator before its final one.
        size_t prev = base.size() >= 2 ? base.find_last_of("\\/", base.size() - 2) : std::string::npos;
        if (prev == std::string::npos)
            return std::string(path);
        size_t newLength = prev + 1;
        if (newLength < 3 && !(linuxRoot && newLength >= 1))
            return std::string(path);
        base.resize(newLength);
        rest.remove_prefix(3);
    }
    return base + std::string(rest);
}

std::string GetModuleFolder()
{
    return GetProgramFolder();
}

std::string MakeProgramPath(std::string_view path)
{
    if (path.size() < 3 || (!IsPathSeparator(path[0]) && path[1] != ':'))
        return GetModuleFolder() + std::string(path);
    return std::string(path);
}

std::string MakeTildePath(std::string_view path)
{
    size_t start = NameStart(path);
    return std::string(path.substr(0, start)) + "~" + std::string(path.substr(start));
}

std::string MakeTempFileName()
{
    const char* env = std::getenv("TMPDIR");
    std::string folder = env && *env ? env : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    unsigned seed = static_cast<unsigned>(std::time(nullptr)) ^ static_cast<unsigned>(::getpid() << 4);
    int lastError = 0;
    for (unsigned n = 0; n < 0x10000; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "dr%04X.tmp", (seed + n) & 0xFFFF);
        std::string native = folder + name;
        int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return FromNativePath(native);
        }
        lastError = errno;
        if (lastError != EEXIST)
            break;
    }
    AppMessageBox(SystemErrorText(lastError), MB_OK | MB_ICONERROR);
    return std::string();
}

bool FileExists(std::string_view path)
{
    std::string_view name = path.substr(NameStart(path));
    if (name.find_first_of("*?") == std::string_view::npos)
        return PathExists(path);
    return !FindMatchingFiles(path).empty();
}

std::vector<std::string> FindMatchingFiles(std::string_view pattern)
{
    std::vector<std::string> names;
    const std::string_view folderPart = pattern.substr(0, NameStart(pattern));
    const std::string folder = ResolvePath(folderPart.empty() ? std::string_view(".") : folderPart);
    const std::string wildcard = Cp1257ToUtf8(pattern.substr(NameStart(pattern)));
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (entryName == "." || entryName == "..")
            continue;
        if (::fnmatch(wildcard.c_str(), entry->d_name, FNM_CASEFOLD) == 0)
            names.push_back(FromNativePath(entryName));
    }
    ::closedir(dir);
    return names;
}

bool IsFileReadOnly(std::string_view path)
{
    std::string native = ResolvePath(path);
    struct stat st;
    if (::stat(native.c_str(), &st) != 0)
        return true;
    return ::access(native.c_str(), W_OK) != 0;
}

bool RefuseIfReadOnly(const CStream& stream)
{
    if (stream.IsWritable())
        return false;
    AppMessageBox(1044, MB_OK | MB_ICONWARNING);
    return true;
}

bool LockFileForWrite(CStream& stream)
{
    if (LockRegionWithRetry(stream, 0, kLockLength))
        return true;
    AppMessageBox(1054, MB_OK | MB_ICONWARNING);
    return false;
}

bool UnlockFileForWrite(CStream& stream)
{
    return stream.UnlockRegion(0, kLockLength);
}

void SplitLines(std::string_view text, std::vector<std::string>& lines)
{
    size_t start = 0, i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            char pair = c == '\r' ? '\n' : '\r';
            i += (i + 1 < text.size() && text[i + 1] == pair) ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
}

void TrimTrailingBlanks(std::string& text)
{
    size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
}

int MessageBoxFmt(int stringId, const std::string& arg, unsigned type, unsigned helpId)
{
    return AppMessageBox(LoadStringArg(stringId, arg), type, helpId);
}

void ShowLastError()
{
    AppMessageBox(SystemErrorText(errno), MB_OK | MB_ICONERROR);
}

bool WriteIniInt(std::string_view section, std::string_view key, int value, const std::string& file)
{
    return WritePrivateProfileInt(section, key, value, file);
}

bool RunProgram(const std::string& program, const std::string& arguments, bool wait)
{
    return StartProgram(program, arguments, wait);
}

int CNamedRecordArray::Add(std::string_view name, const Data& data)
{
    m_records.push_back(Record{std::string(name), data});
    return GetSize() - 1;
}

uint16_t Checksum16(const uint16_t* words, size_t count)
{
    uint16_t sum = 0;
    for (size_t i = 0; i < count; ++i) {
        sum = static_cast<uint16_t>((sum << 1) | (sum >> 15));
        sum = static_cast<uint16_t>(sum + words[i]);
    }
    return sum;
}

uint16_t Checksum16Bytes(const unsigned char* bytes, size_t wordCount)
{
    uint16_t sum = 0;
    for (size_t i = 0; i < wordCount; ++i) {
        uint16_t word = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        sum = static_cast<uint16_t>((sum << 1) | (sum >> 15));
        sum = static_cast<uint16_t>(sum + word);
    }
    return sum;
}
