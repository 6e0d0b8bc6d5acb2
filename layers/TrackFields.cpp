#include "layers/TrackFields.h"

#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"

const char* const kTrackFieldNames[kTrackFieldCount] = {"Lon",  "Lat",  "Status", "Speed",    "Course",
                                                        "Date", "Time", "Id",     "SATS_USED"};

std::vector<CDbfFieldInfo> TrackFieldList()
{
    struct Shape {
        char type;
        unsigned length;
        unsigned decimals;
    };
    static constexpr Shape kShapes[kTrackFieldCount] = {{'N', 13, 8}, {'N', 13, 8}, {'C', 3, 0},
                                                        {'N', 6, 1},  {'N', 5, 1},  {'C', 10, 0},
                                                        {'C', 8, 0},  {'N', 10, 0}, {'N', 2, 0}};
    std::vector<CDbfFieldInfo> fields(kTrackFieldCount + 1);
    for (int i = 0; i < kTrackFieldCount; ++i)
        fields[static_cast<size_t>(i)].Set(kTrackFieldNames[i], kShapes[i].type, kShapes[i].length,
                                           kShapes[i].decimals);
    fields.back().Set("", 0, 0, 0);
    return fields;
}

bool CreateTrackFile(const std::string& path)
{
    CLayerReader reader;
    if (!reader.CreateSource(path))
        return false;
    const std::vector<CDbfFieldInfo> fields = TrackFieldList();
    const bool made = reader.GetSource()->Create(path, CFeatureSource::kPoint, fields.data());
    reader.Close();
    return made;
}
