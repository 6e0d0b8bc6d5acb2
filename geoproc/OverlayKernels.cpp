// The overlay kernels and the result table they write into.
#include "geoproc/Overlay.h"

#include "core/DbfTable.h"
#include "core/PolygonSet.h"
#include "core/SegmentPairs.h"
#include "core/ShapeArray.h"
#include "core/ShapeOverlay.h"
#include "layers/FeatureSource.h"
#include "layers/SpatialIndex.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace {

constexpr int kReadError = 1028;
constexpr int kWriteError = 1045;
constexpr char kCannotOverlay[] = "Nepavyko apskaičiuoti objektų perklojimo.";

constexpr size_t kMaxFieldName = 10;
constexpr int kRenameTries = 10;

// ------------------------------------------------------------ result table

std::string FieldName(const CDbfFieldInfo& info)
{
    return std::string(info.name, strnlen(info.name, sizeof info.name));
}

// The fields of a list up to its end entry.
std::vector<CDbfFieldInfo> FieldsOf(const std::vector<CDbfFieldInfo>& list)
{
    std::vector<CDbfFieldInfo> fields;
    for (const CDbfFieldInfo& info : list) {
        if (info.length == 0)
            break;
        fields.push_back(info);
    }
    return fields;
}

bool IsTaken(const std::vector<std::string>& names, std::string_view name)
{
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return EqualsNoCase1257(n, name); });
}

// The next try of a taken name: "_" appended, or at ten characters the
// last one that is not "_" made one; the name itself when none is left.
std::string NextTry(std::string name)
{
    if (name.size() < kMaxFieldName)
        return name + '_';
    for (size_t i = name.size(); i-- > 0;)
        if (name[i] != '_') {
            name[i] = '_';
            break;
        }
    return name;
}

// ------------------------------------------------------------ writing

bool BoxHolds(const CMapRect& box, const CMapPoint& p)
{
    return p.x >= box.left && p.x <= box.right && p.y >= box.bottom && p.y <= box.top;
}

int RecordOf(const COverlaying& overlaying, int item)
{
    const std::vector<int32_t>* records = overlaying.records;
    return records && item < static_cast<int>(records->size()) ? (*records)[static_cast<size_t>(item)] : item;
}

// The bar over the source's records, moved in thousandths of the range so
// that a long run does not spend its time drawing it.
class CRecordProgress {
public:
    CRecordProgress(COverlayRun& run, const CFeatureSource& source) : m_run(run)
    {
        m_records = std::max(source.GetTable().IsOpen() ? source.GetTable().GetRecordCount() : 0, 1);
        if (m_run.progress) {
            m_run.progress->SetRange(0, m_records);
            m_run.progress->SetStep(1);
            m_run.progress->SetPos(0);
        }
    }
    // After the source's current record: true when the user cancelled.
    bool Passed(int record)
    {
        if (!m_run.progress)
            return false;
        const int position = std::clamp(record + 1, 0, m_records);
        const int64_t mark = static_cast<int64_t>(position) * 1000 / m_records;
        if (mark == m_mark && position != m_records)
            return false;
        m_mark = mark;
        m_run.progress->SetPos(position);
        if (m_run.progress->CheckCancel())
            m_run.cancelled = true;
        return m_run.cancelled;
    }

private:
    COverlayRun& m_run;
    int m_records = 1;
    int64_t m_mark = -1;
};

// Appends the pieces to the result, each with the source's record read
// once per source object and the fields of an overlaying object.
class CPieceWriter {
public:
    CPieceWriter(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying)
        : m_source(source), m_result(result), m_overlaying(overlaying)
    {
        m_sourceFields = source.GetTable().IsOpen() ? source.GetTable().GetFieldCount() : 0;
        if (overlaying.table && overlaying.table->IsOpen())
            m_overlayFields = overlaying.table->GetFieldCount();
        // The result's files take the pieces in blocks.
        m_held = result.BeginWrites();
    }
    ~CPieceWriter()
    {
        if (m_held)
            m_result.EndWrites();
    }
    CPieceWriter(const CPieceWriter&) = delete;
    CPieceWriter& operator=(const CPieceWriter&) = delete;

    // The source has moved on to its next object.
    void NextObject() { m_sourceTable = nullptr; }

    // item: the overlaying object whose fields it gets, -1 for none.
    bool Write(const CShape& shape, bool withSource, int item)
    {
        if (shape.GetPointCount() == 0)
            return true;
        return m_result.AppendShape(shape, false) && FillRecord(withSource, item);
    }
    bool Write(const CPolygonSet& set, bool withSource, int item)
    {
        if (set.IsEmpty())
            return true;
        CShape shape;
        set.ToShape(shape);
        return Write(shape, withSource, item);
    }
    bool Write(const CMapPoint& point, bool withSource, int item)
    {
        return m_result.AppendPoint(point, false) && FillRecord(withSource, item);
    }

    // The end of the run: false, told, when the source's readers met an
    // error or a held write failed.
    bool Finish()
    {
        if (m_source.GetError() != CFeatureSource::kNoError) {
            AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
            return false;
        }
        const bool held = m_held;
        m_held = false;
        if (held && !m_result.EndWrites()) {
            AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
            return false;
        }
        return true;
    }

private:
    bool FillRecord(bool withSource, int item)
    {
        CDbfTable& out = m_result.GetTable();
        if (!out.IsOpen())
            return true;
        if (withSource && m_sourceFields > 0) {
            if (!m_sourceTable && !(m_sourceTable = m_source.GetRecordTable(m_source.GetCurrentRecord()))) {
                AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
                return false;
            }
            for (int i = 0; i < m_sourceFields; ++i)
                out.CopyFieldFrom(*m_sourceTable, i, i);
        }
        if (item >= 0 && m_overlayFields > 0) {
            CDbfTable& from = *m_overlaying.table;
            if (!from.GoToRecord(RecordOf(m_overlaying, item))) {
                AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
                return false;
            }
            for (int j = 0; j < m_overlayFields; ++j)
                out.CopyFieldFrom(from, m_sourceFields + j, j);
        }
        return out.WriteRecord();
    }

    CFeatureSource& m_source;
    CFeatureSource& m_result;
    const COverlaying& m_overlaying;
    int m_sourceFields = 0;
    int m_overlayFields = 0;
    CDbfTable* m_sourceTable = nullptr; // read for the current object
    bool m_held = false;
};

// The overlaying areas whose boxes meet the box: in index order, else in
// load order.
void CandidateAreas(const COverlaying& overlaying, const CMapRect& box, std::vector<int>& candidates)
{
    candidates.clear();
    const CShapeArray& areas = *overlaying.areas;
    const auto meets = [&](int i) { return i >= 0 && i < areas.GetSize() && ExtentsMeet(areas[i]->GetExtent(), box); };
    if (overlaying.index) {
        for (int i = overlaying.index->BeginRectQuery(box); i >= 0; i = overlaying.index->Next())
            if (meets(i))
                candidates.push_back(i);
        return;
    }
    for (int i = 0; i < areas.GetSize(); ++i)
        if (meets(i))
            candidates.push_back(i);
}

// result = a op b; false, told, when it cannot be computed.
bool Clip(int op, const CPolygonSet& a, const CPolygonSet& b, CPolygonSet& result)
{
    if (CPolygonSet::ClipPolygons(op, a, b, result))
        return true;
    AppMessageBox(Utf8ToCp1257(kCannotOverlay), MB_OK | MB_ICONWARNING);
    return false;
}

// The overlaying areas as polygon sets, made when first asked for; union
// cuts them, and remembers which.
class CAreaSets {
public:
    explicit CAreaSets(const CShapeArray& areas)
        : m_areas(areas), m_sets(static_cast<size_t>(areas.GetSize())), m_state(m_sets.size(), kNotMade)
    {}
    CPolygonSet& Get(int i)
    {
        const size_t k = static_cast<size_t>(i);
        if (m_state[k] == kNotMade) {
            if (!m_sets[k].FromShape(*m_areas[i]))
                throw std::bad_alloc();
            m_state[k] = kWhole;
        }
        return m_sets[k];
    }
    void MarkCut(int i) { m_state[static_cast<size_t>(i)] = kCut; }
    bool IsCut(int i) const { return m_state[static_cast<size_t>(i)] == kCut; }

private:
    enum State : char { kNotMade, kWhole, kCut };
    const CShapeArray& m_areas;
    std::vector<CPolygonSet> m_sets;
    std::vector<char> m_state;
};

} // namespace

bool OverlayTransfersAttributes(int code)
{
    return code == kOverlayIntersect || code == kOverlayUnion || code == kOverlayClassify;
}

std::vector<CDbfFieldInfo> OverlayResultFields(const std::vector<CDbfFieldInfo>& source,
                                               const std::vector<CDbfFieldInfo>* overlaying)
{
    std::vector<CDbfFieldInfo> fields = FieldsOf(source);
    if (overlaying) {
        const std::vector<CDbfFieldInfo> added = FieldsOf(*overlaying);
        std::vector<std::string> sourceNames, overlayNames, given;
        for (const CDbfFieldInfo& info : fields)
            sourceNames.push_back(FieldName(info));
        for (const CDbfFieldInfo& info : added)
            overlayNames.push_back(FieldName(info));
        const auto taken = [&](const std::string& name) {
            return IsTaken(sourceNames, name) || IsTaken(overlayNames, name) || IsTaken(given, name);
        };
        for (CDbfFieldInfo info : added) {
            std::string name = FieldName(info);
            if (IsTaken(sourceNames, name) || IsTaken(given, name)) {
                const std::string original = name;
                int tries = 0;
                do
                    name = NextTry(name);
                while (taken(name) && ++tries < kRenameTries);
                for (int n = 1; taken(name); ++n) {
                    const std::string digits = std::to_string(n);
                    name = original.substr(0, kMaxFieldName - digits.size()) + digits;
                }
                info.Set(name, info.type, info.length, info.decimals);
            }
            given.push_back(name);
            fields.push_back(info);
        }
    }
    fields.emplace_back().Set("", 0, 0, 0);
    return fields;
}

int FindContainingArea(const COverlaying& overlaying, const CMapPoint& point)
{
    if (!overlaying.areas)
        return -1;
    const CShapeArray& areas = *overlaying.areas;
    const auto holds = [&](int i) {
        return i >= 0 && i < areas.GetSize() && BoxHolds(areas[i]->GetExtent(), point) &&
               areas[i]->PointInPolygon(point) != 0;
    };
    int found = -1;
    if (overlaying.index) {
        for (int i = overlaying.index->BeginPointQuery(point); i >= 0; i = overlaying.index->Next())
            if (holds(i) && (found < 0 || RecordOf(overlaying, i) > RecordOf(overlaying, found)))
                found = i;
        return found;
    }
    for (int i = 0; i < areas.GetSize(); ++i)
        if (holds(i))
            found = i;
    return found;
}

int OverlayPoints(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying, int code,
                  COverlayRun& run)
{
    CPieceWriter writer(source, result, overlaying);
    CRecordProgress progress(run, source);
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        writer.NextObject();
        const int area = FindContainingArea(overlaying, point);
        bool keep = false;
        switch (code) {
        case kOverlayIntersect:
        case kOverlayClip:
            keep = area >= 0;
            break;
        case kOverlaySubtract:
            keep = area < 0;
            break;
        case kOverlayClassify:
            keep = true;
            break;
        default:
            break;
        }
        const bool addArea = code == kOverlayIntersect || code == kOverlayClassify;
        if (keep && !writer.Write(point, true, addArea ? area : -1))
            return 0;
        if (progress.Passed(source.GetCurrentRecord()))
            break;
    }
    return writer.Finish() ? 1 : 0;
}

int OverlayLines(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying, int code,
                 COverlayRun& run)
{
    if (!overlaying.areas)
        return 0;
    const CShapeArray& areas = *overlaying.areas;
    CPieceWriter writer(source, result, overlaying);
    CRecordProgress progress(run, source);
    std::vector<int> candidates;
    CShape line, inside, rest;
    while (source.ReadNextShape(line)) {
        writer.NextObject();
        CandidateAreas(overlaying, line.GetExtent(), candidates);
        bool written = true;
        if (candidates.empty()) {
            if (code == kOverlaySubtract || code == kOverlayClassify)
                written = writer.Write(line, true, -1);
        } else if (code == kOverlayIntersect || code == kOverlayClip) {
            for (size_t k = 0; written && k < candidates.size(); ++k) {
                const int area = candidates[k];
                SplitLineByPolygon(line, *areas[area], &inside, nullptr);
                written = writer.Write(inside, true, code == kOverlayIntersect ? area : -1);
            }
        } else if (code == kOverlaySubtract || code == kOverlayClassify) {
            rest.Copy(line);
            for (size_t k = 0; written && k < candidates.size() && rest.GetPointCount() > 0; ++k) {
                const int area = candidates[k];
                if (code == kOverlaySubtract) {
                    SplitLineByPolygon(rest, *areas[area], nullptr, &rest);
                } else {
                    SplitLineByPolygon(rest, *areas[area], &inside, &rest);
                    written = writer.Write(inside, true, area);
                }
            }
            written = written && writer.Write(rest, true, -1);
        }
        if (!written)
            return 0;
        if (progress.Passed(source.GetCurrentRecord()))
            break;
    }
    return writer.Finish() ? 1 : 0;
}

int OverlayAreas(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying, int code,
                 COverlayRun& run)
{
    if (!overlaying.areas)
        return 0;
    const CShapeArray& areas = *overlaying.areas;
    CPieceWriter writer(source, result, overlaying);
    CRecordProgress progress(run, source);
    CAreaSets sets(areas);
    std::vector<int> candidates;
    CShape area;
    CPolygonSet whole, rest, common, inside;
    const bool cutsSource = code == kOverlayUnion || code == kOverlayClassify || code == kOverlaySubtract ||
                            code == kOverlayPaste;
    while (source.ReadNextShape(area)) {
        writer.NextObject();
        CandidateAreas(overlaying, area.GetExtent(), candidates);
        if (!whole.FromShape(area))
            throw std::bad_alloc();
        bool cut = false;
        bool anyInside = false;
        for (const int s : candidates) {
            // What does not even touch the area is left as it is.
            if (!area.AreasOverlap(*areas[s]))
                continue;
            CPolygonSet& other = sets.Get(s);
            switch (code) {
            case kOverlayIntersect:
                if (!Clip(CPolygonSet::kIntersection, whole, other, common) || !writer.Write(common, true, s))
                    return 0;
                break;
            case kOverlayUnion:
            case kOverlayClassify:
                if (!Clip(CPolygonSet::kIntersection, cut ? rest : whole, other, common))
                    return 0;
                if (common.IsEmpty())
                    break;
                if (!writer.Write(common, true, s) || !Clip(CPolygonSet::kDifference, cut ? rest : whole, other, rest))
                    return 0;
                cut = true;
                if (code == kOverlayUnion) {
                    if (!Clip(CPolygonSet::kDifference, other, whole, other))
                        return 0;
                    sets.MarkCut(s);
                }
                break;
            case kOverlayClip:
                if (!Clip(CPolygonSet::kIntersection, whole, other, common))
                    return 0;
                if (common.IsEmpty())
                    break;
                if (!anyInside)
                    inside.CopyFrom(common);
                else if (!Clip(CPolygonSet::kUnion, inside, common, inside))
                    return 0;
                anyInside = true;
                break;
            case kOverlaySubtract:
            case kOverlayPaste:
                if (!Clip(CPolygonSet::kDifference, cut ? rest : whole, other, rest))
                    return 0;
                cut = true;
                break;
            default:
                break;
            }
            if (cut && rest.IsEmpty())
                break; // nothing is left to cut
        }
        bool written = true;
        if (code == kOverlayClip)
            written = !anyInside || writer.Write(inside, true, -1);
        else if (cutsSource)
            written = cut ? writer.Write(rest, true, -1) : writer.Write(area, true, -1);
        if (!written)
            return 0;
        if (progress.Passed(source.GetCurrentRecord()))
            break;
    }
    // The overlaying areas' rest: union gives them their own attributes,
    // paste none (no source object stands for them).
    if (!run.cancelled && (code == kOverlayUnion || code == kOverlayPaste)) {
        for (int s = 0; s < areas.GetSize(); ++s) {
            const bool written = code == kOverlayPaste ? writer.Write(*areas[s], false, -1)
                                 : sets.IsCut(s)      ? writer.Write(sets.Get(s), false, s)
                                                      : writer.Write(*areas[s], false, s);
            if (!written)
                return 0;
        }
    }
    return writer.Finish() ? 1 : 0;
}

int ClassifyAreasByPoints(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying,
                          COverlayRun& run)
{
    if (!overlaying.points)
        return 0;
    const std::vector<CMapPoint>& points = *overlaying.points;
    const int count = static_cast<int>(points.size());
    CPieceWriter writer(source, result, overlaying);
    CRecordProgress progress(run, source);
    CShape area;
    while (source.ReadNextShape(area)) {
        writer.NextObject();
        const CMapRect& box = area.GetExtent();
        const auto inArea = [&](int i) {
            return i >= 0 && i < count && BoxHolds(box, points[static_cast<size_t>(i)]) &&
                   area.PointInPolygon(points[static_cast<size_t>(i)]) != 0;
        };
        int found = -1;
        if (overlaying.index) {
            for (int i = overlaying.index->BeginRectQuery(box); i >= 0 && found < 0; i = overlaying.index->Next())
                if (inArea(i))
                    found = i;
        } else {
            for (int i = 0; i < count && found < 0; ++i)
                if (inArea(i))
                    found = i;
        }
        if (!writer.Write(area, true, found))
            return 0;
        if (progress.Passed(source.GetCurrentRecord()))
            break;
    }
    return writer.Finish() ? 1 : 0;
}

int ClassifyPointRecords(CFeatureSource& points, int pointField, const COverlaying& areas, int areaField,
                         COverlayRun& run)
{
    if (!areas.table)
        return 0;
    CRecordProgress progress(run, points);
    const bool held = points.BeginWrites();
    bool done = true;
    CMapPoint point;
    while (points.ReadNextPoint(point)) {
        const int area = FindContainingArea(areas, point);
        if (area >= 0) {
            CDbfTable* pointRecord = nullptr;
            if (!areas.table->GoToRecord(RecordOf(areas, area)) ||
                !(pointRecord = points.GetRecordTable(points.GetCurrentRecord()))) {
                AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
                done = false;
                break;
            }
            // Cleared first: a copy that cannot read the value leaves the field as it was.
            pointRecord->SetField(pointField, "");
            pointRecord->CopyFieldFrom(*areas.table, pointField, areaField);
            if (!pointRecord->WriteRecord()) {
                done = false;
                break;
            }
        }
        if (progress.Passed(points.GetCurrentRecord()))
            break;
    }
    if (done && points.GetError() != CFeatureSource::kNoError) {
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
        done = false;
    }
    if (held && !points.EndWrites() && done) {
        AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
        done = false;
    }
    return done ? 1 : 0;
}
