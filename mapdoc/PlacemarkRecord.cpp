#include "mapdoc/PlacemarkRecord.h"

#include "layers/FeatureSource.h"

bool AppendPlacemarkRecord(CFeatureSource& source, const CMapPoint& point)
{
    if (!source.AppendPoint(point, true))
        return false;
    CDbfTable& table = source.GetTable();
    table.SetFieldLong(table.FindField("NAME"), table.GetRecordCount() + 1);
    table.SetFieldLong(table.FindField("SYMBOL"), -1);
    return table.WriteRecord();
}
