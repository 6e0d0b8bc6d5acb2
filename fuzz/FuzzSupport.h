#pragma once

// What the fuzz targets over files on disk share: a work folder of the
// process, writing input bytes to files, silent message boxes and
// attribute tables of a given length.

#include "core/DbfEngine.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class CSilentServices : public IUserServices {
public:
    int MessageBox(const std::string&, unsigned, unsigned) override { return IDOK; }
    std::unique_ptr<IProgress> CreateProgress(int) override { return nullptr; }
};

// Message boxes answered at once, locks and opens never waited for.
inline void QuietFileServices()
{
    static CSilentServices services;
    SetUserServices(&services);
    GetFileRetryPolicy().lockTries = 1;
    GetFileRetryPolicy().openRetries = 0;
}

// A folder of this process for the files of one input, gone with the
// process; ends with its separator.
inline std::string FuzzFolder(const char* name)
{
    struct CWorkFolder {
        std::filesystem::path path;
        explicit CWorkFolder(const char* name)
            : path(std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid())))
        {
            std::filesystem::create_directories(path);
        }
        ~CWorkFolder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const CWorkFolder folder(name);
    return folder.path.string() + "/";
}

inline void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A table of the fields NAME C(8) and N N(4), N counting the records from 0.
inline void MakeFuzzAttributes(const std::string& path, int records)
{
    CDbfFieldInfo fields[3];
    fields[0].Set("NAME", 'C', 8, 0);
    fields[1].Set("N", 'N', 4, 0);
    fields[2].Set("", 0, 0, 0);
    auto h = DbfCreate(path, fields);
    if (!h)
        return;
    DbfLock(*h);
    for (int n = 0; n < records; ++n) {
        DbfAppendBlank(*h);
        DbfPutLong(*h, 1, n);
        DbfWriteHere(*h);
    }
    DbfFlush(*h);
    DbfUnlock(*h);
}
