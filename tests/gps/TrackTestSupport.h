#pragma once

#include "core/DbfFieldInfo.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "gps/GpsFix.h"
#include "gps/TrackRecorder.h"
#include "layers/TrackFields.h"
#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

// A program folder, a user folder and a profile of the test's own.
class CGpsFolders {
public:
    CGpsFolders()
    {
        MakeFolder(dir.File("program"));
        MakeFolder(dir.File("user"));
        SetProgramFolderForTesting(dir.File("program/"));
        SetUserFolderForTesting(dir.File("user/"));
        CAppProfile::Instance().SetFilePathForTesting(dir.File("Drel.ini"));
    }
    ~CGpsFolders()
    {
        SetProgramFolderForTesting("");
        SetUserFolderForTesting("");
        CAppProfile::Instance().SetFilePathForTesting("");
    }
    CGpsFolders(const CGpsFolders&) = delete;
    CGpsFolders& operator=(const CGpsFolders&) = delete;

    std::string User(const std::string& name) const { return dir.File("user/" + name); }
    // Section "Track" of the user's "GPS.ini" holds these lines.
    void WriteTrackSettings(const std::string& lines) const
    {
        WriteWholeFile(User("GPS.ini"), "[Track]\r\n" + lines);
    }
    std::string DefaultTrackFile() const { return User("Tracks/Track0001.trk"); }

    CTempDir dir;
};

// A fix at a position with a time of 2005-06-17 12:00:00 UTC plus seconds.
inline GpsFix MakeFix(double longitude, double latitude, int seconds = 0, bool valid = true)
{
    GpsFix fix;
    fix.longitude = longitude;
    fix.latitude = latitude;
    fix.time = MakeUtcTime(2005, 6, 17, 12, 0, 0) + seconds;
    fix.speed = 36;
    fix.course = 90;
    fix.satellites = 7;
    fix.valid = valid ? 1 : 0;
    return fix;
}

// The records of a table, each field's trimmed text by field name as stored.
using CTrackRows = std::vector<std::map<std::string, std::string>>;

inline CTrackRows ReadTrackRows(const std::string& path)
{
    CTrackRows rows;
    CDbfTable table;
    if (!PathExists(path) || !table.Open(path))
        return rows;
    for (int n = 0; n < table.GetRecordCount(); ++n) {
        if (!table.GoToRecord(n))
            break;
        auto& row = rows.emplace_back();
        for (int f = 0; f < table.GetFieldCount(); ++f) {
            std::string text;
            table.GetFieldString(f, text);
            const DbfField& field = table.GetHandle()->fields[static_cast<size_t>(f)];
            row[std::string(field.name, strnlen(field.name, sizeof field.name))] = text;
        }
    }
    return rows;
}

// A table of the fields (name, type, length, decimals) and the records
// given as texts in the order of the fields.
struct CTestField {
    const char* name;
    char type;
    unsigned length;
    unsigned decimals;
};
inline bool WriteTable(const std::string& path, const std::vector<CTestField>& fields,
                       const std::vector<std::vector<std::string>>& records)
{
    std::vector<CDbfFieldInfo> infos;
    for (const CTestField& f : fields)
        infos.emplace_back().Set(f.name, f.type, f.length, f.decimals);
    infos.emplace_back().Set("", 0, 0, 0);
    CDbfTable table;
    if (!table.Create(path, infos.data()))
        return false;
    for (const auto& record : records) {
        table.AppendBlank();
        for (size_t f = 0; f < record.size() && f < fields.size(); ++f)
            table.SetField(static_cast<int>(f), record[f]);
        if (!table.WriteRecord())
            return false;
    }
    return true;
}
