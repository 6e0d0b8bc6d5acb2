#include "platform/AppFolders.h"

#include "platform/Path.h"

#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
std::string g_programOverride;
std::string g_userOverride;
std::string g_configOverride;

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string EnvFolder(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v ? WithSlash(v) : std::string();
}

std::string HomeBased(const char* xdgVar, const char* fallback)
{
    std::string base = EnvFolder(xdgVar);
    if (base.empty()) {
        std::string home = EnvFolder("HOME");
        if (home.empty())
            home = "/tmp/";
        base = home + fallback;
    }
    return base + "drel/";
}

void MakeFolders(const std::string& nativeFolder)
{
    for (size_t i = 1; i <= nativeFolder.size(); ++i)
        if (i == nativeFolder.size() || nativeFolder[i] == '/')
            ::mkdir(nativeFolder.substr(0, i).c_str(), 0755);
}

std::string NativeProgramPath()
{
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n <= 0 ? std::string() : std::string(buffer, static_cast<size_t>(n));
}

std::string NativeProgramFolder()
{
    std::string exe = NativeProgramPath();
    size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

} // namespace

std::string GetProgramFolder()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_programOverride.empty())
        return g_programOverride;
    static const std::string folder = FromNativePath(NativeProgramFolder());
    return folder;
}

std::string GetProgramFileName()
{
    static const std::string name = [] {
        std::string exe = NativeProgramPath();
        return FromNativePath(exe.substr(exe.find_last_of('/') + 1));
    }();
    return name;
}

std::string GetUserFolder()
{
    std::string native;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_userOverride.empty())
            return g_userOverride;
        native = EnvFolder("DREL_USER_DIR");
        if (native.empty())
            native = HomeBased("XDG_DATA_HOME", ".local/share/");
    }
    MakeFolders(native);
    return FromNativePath(native);
}

std::string GetUserConfigFolder()
{
    std::string native;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_configOverride.empty())
            return g_configOverride;
        native = EnvFolder("DREL_CONFIG_DIR");
        if (native.empty())
            native = HomeBased("XDG_CONFIG_HOME", ".config/");
    }
    MakeFolders(native);
    return FromNativePath(native);
}

std::string FindProgramFile(const std::string& name)
{
    std::string user = GetUserFolder() + name;
    if (PathExists(user))
        return user;
    return GetProgramFolder() + name;
}

std::string WritableProgramFile(const std::string& name)
{
    std::string path = GetUserFolder() + name;
    // Sub-folders of the name ("GPSLog/...") are made on demand.
    size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos)
        MakeFolders(ResolvePath(path.substr(0, slash + 1)));
    return path;
}

void SetProgramFolderForTesting(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_programOverride = WithSlash(folder);
}

void SetUserFolderForTesting(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_userOverride = WithSlash(folder);
}

void SetUserConfigFolderForTesting(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_configOverride = WithSlash(folder);
}
