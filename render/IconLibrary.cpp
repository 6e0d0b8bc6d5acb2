#include "render/IconLibrary.h"

#include "core/FileUtil.h"
#include "platform/AppFolders.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>

namespace {

constexpr int kMaxIconIndex = 0x7FFF;

std::atomic<IIconLibrary*> g_library{nullptr};

} // namespace

int IconFileNumber(const std::string& fileName)
{
    size_t i = 0;
    while (i < fileName.size() && (fileName[i] == ' ' || (fileName[i] >= '\t' && fileName[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < fileName.size() && (fileName[i] == '+' || fileName[i] == '-'))
        negative = fileName[i++] == '-';
    std::int64_t value = 0;
    for (; i < fileName.size() && fileName[i] >= '0' && fileName[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (fileName[i] - '0'), INT_MAX);
    return static_cast<int>(negative ? -value : value);
}

CIconFolderLibrary::CIconFolderLibrary(std::string folder) : m_folder(std::move(folder)) {}

void CIconFolderLibrary::Scan()
{
    if (m_scanned)
        return;
    m_scanned = true;
    for (const std::string& name : FindMatchingFiles(m_folder + "*.ico")) {
        // Icon n is the file named n, as the index is written.
        const int n = IconFileNumber(name);
        if (n >= 0 && n <= kMaxIconIndex && name.size() > 4 && name.substr(0, name.size() - 4) == std::to_string(n))
            m_files.emplace(n, name);
    }
}

int CIconFolderLibrary::GetIconCount()
{
    Scan();
    return m_files.empty() ? 0 : m_files.rbegin()->first + 1;
}

bool CIconFolderLibrary::ExtractIcon(int index, CIcon& icon)
{
    icon.DestroyIcon();
    Scan();
    auto found = m_files.find(index);
    return found != m_files.end() && icon.LoadFile(m_folder + found->second);
}

void SetIconLibrary(IIconLibrary* library)
{
    g_library.store(library);
}

IIconLibrary& IconLibrary()
{
    if (IIconLibrary* library = g_library.load())
        return *library;
    // Made again when the folder moves (tests point the program folders elsewhere).
    static std::mutex mutex;
    static std::unique_ptr<CIconFolderLibrary> programLibrary;
    const std::string folder = FindProgramFile("Vexil/");
    std::lock_guard<std::mutex> lock(mutex);
    if (!programLibrary || programLibrary->GetFolder() != folder)
        programLibrary = std::make_unique<CIconFolderLibrary>(folder);
    return *programLibrary;
}
