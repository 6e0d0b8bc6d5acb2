#include "layers/DxfSource.h"

#include "platform/NumberText.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <utility>

namespace {

constexpr int kCannotOpen = 1007;

std::vector<CDbfFieldInfo> DxfFields()
{
    std::vector<CDbfFieldInfo> fields(7);
    fields[CDxfSource::kLabelField].Set("LABEL", 'C', 30, 0);
    fields[CDxfSource::kLayerField].Set("LAYER", 'C', 30, 0);
    fields[CDxfSource::kShapeField].Set("SHAPE", 'C', 10, 0);
    fields[CDxfSource::kColorField].Set("COLOR", 'N', 3, 0);
    fields[CDxfSource::kClosedField].Set("CLOSED", 'C', 1, 0);
    fields[CDxfSource::kPointCountField].Set("NP", 'N', 6, 0);
    fields[6].Set("", 0, 0, 0);
    return fields;
}

} // namespace

CDxfSource::~CDxfSource()
{
    Close();
}

bool CDxfSource::Fail(int error)
{
    SetError(error);
    return false;
}

// ---------------------------------------------------------------- opening

bool CDxfSource::Open(const std::string& path)
{
    Close();
    SetError(kNoError);
    std::unique_ptr<CStream> stream = CFileStream::Open(path, FileMode::Read);
    if (!stream) {
        AppMessageBoxArg(kCannotOpen, path);
        return Fail(kOpenError);
    }
    return OpenStream(std::move(stream));
}

bool CDxfSource::OpenStream(std::unique_ptr<CStream> stream)
{
    Close();
    SetError(kNoError);
    const std::vector<CDbfFieldInfo> fields = DxfFields();
    if (!stream || !m_table.Create("", fields.data()))
        return Fail(kOpenError);
    m_stream = std::move(stream);
    m_reader = std::make_unique<CDxfReader>(*m_stream);
    const CDxfReader::Result found = m_reader->FindEntities();
    if (found == CDxfReader::kBadCode) {
        Close();
        return Fail(kBadStructure);
    }
    // Without the section the readers stand at the end and find nothing.
    m_hasEntities = found == CDxfReader::kFound;
    m_sectionStart = m_reader->GetPosition();
    Restart(RecordPass());
    return true;
}

void CDxfSource::Close()
{
    m_reader.reset();
    m_stream.reset();
    m_table.Close();
    ResetReading();
    m_sectionStart = CDxfReader::CPosition();
    m_hasEntities = false;
    m_walk = CWalk();
    m_walked = false;
    m_hasBeforeLast = false;
}

// ---------------------------------------------------------------- walking

CDxfSource::CWalk CDxfSource::Save() const
{
    CWalk walk = m_walk;
    walk.at = m_reader->GetPosition();
    return walk;
}

void CDxfSource::Restore(const CWalk& walk)
{
    m_walk = walk;
    m_reader->SetPosition(walk.at);
}

void CDxfSource::Restart(CDxfReader::Pass pass)
{
    CWalk start;
    start.at = m_sectionStart;
    start.pass = pass;
    Restore(start);
    m_hasBeforeLast = false;
}

CDxfReader::Pass CDxfSource::RecordPass() const
{
    if (m_walked)
        return m_walk.pass;
    return m_type == kPoint || m_type == kText || m_type == kTrack ? CDxfReader::kPoints : CDxfReader::kShapes;
}

bool CDxfSource::Step(CDxfReader::Pass pass)
{
    m_beforeLast = Save();
    m_hasBeforeLast = true;
    switch (m_reader->Next(pass, m_entity)) {
    case CDxfReader::kFound:
        break;
    case CDxfReader::kEnd:
        m_hasBeforeLast = false;
        return false;
    case CDxfReader::kBadCode:
        m_hasBeforeLast = false;
        return Fail(kBadStructure);
    }
    if (m_entity.hasLayer)
        m_walk.layer = m_entity.layer;
    if (m_entity.hasColor)
        m_walk.color = m_entity.color;
    ++m_walk.next;
    m_walked = true;
    return true;
}

bool CDxfSource::SeekRecord(CDxfReader::Pass pass, int n)
{
    if (pass != m_walk.pass || n < m_walk.next) {
        // The object read last is read again from just before it.
        if (m_hasBeforeLast && m_beforeLast.pass == pass && m_beforeLast.next <= n)
            Restore(m_beforeLast);
        else
            Restart(pass);
    }
    while (m_walk.next < n)
        if (!Step(pass))
            return false;
    return true;
}

void CDxfSource::Deliver()
{
    const int n = m_walk.next - 1;
    Current() = n;
    m_tablePass = m_walk.pass;
    m_table.StartMemoryRecord(n);
    const bool text = m_entity.kind == CDxfEntity::kText;
    m_table.SetField(kLabelField, text ? m_entity.text : FormatC("%04d", n + 1));
    m_table.SetField(kLayerField, m_walk.layer);
    m_table.SetField(kShapeField, m_entity.KindName());
    if (m_entity.IsPointKind())
        return;
    m_table.SetFieldLong(kColorField, m_walk.color);
    m_table.SetField(kClosedField, m_entity.closed ? "1" : "");
    m_table.SetFieldLong(kPointCountField, m_entity.shape.GetPointCount());
}

bool CDxfSource::ReadNext(CDxfReader::Pass pass)
{
    if (GetError() != kNoError || !IsOpen())
        return false;
    // A walk that was rewound or moved finds its place again.
    if (!SeekRecord(pass, ScanNext()) || !Step(pass))
        return false;
    ScanNext() = m_walk.next;
    Deliver();
    return true;
}

bool CDxfSource::ReadRecord(CDxfReader::Pass pass, int n)
{
    if (GetError() != kNoError || !IsOpen() || n < 0)
        return false;
    if (!SeekRecord(pass, n) || !Step(pass))
        return false;
    Deliver();
    return true;
}

// ---------------------------------------------------------------- reading

bool CDxfSource::ReadNextPoint(CMapPoint& point)
{
    if (!ReadNext(CDxfReader::kPoints))
        return false;
    point = m_entity.point;
    return true;
}

bool CDxfSource::ReadNextShape(CShape& shape)
{
    if (!ReadNext(CDxfReader::kShapes))
        return false;
    // The caller's old points make room for the next object.
    std::swap(shape, m_entity.shape);
    return true;
}

bool CDxfSource::ReadPoint(int n, CMapPoint& point)
{
    if (!ReadRecord(CDxfReader::kPoints, n))
        return false;
    point = m_entity.point;
    return true;
}

bool CDxfSource::ReadShape(int n, CShape& shape)
{
    if (!ReadRecord(CDxfReader::kShapes, n))
        return false;
    std::swap(shape, m_entity.shape);
    return true;
}

bool CDxfSource::FindNearestLine(const CMapPoint& point, CRecordArray& records, double* distance)
{
    records.clear();
    if (GetError() != kNoError || !IsOpen())
        return false;
    return FindNearestShapeLine(point, records, distance);
}

bool CDxfSource::FindAreasAt(const CMapPoint& point, CRecordArray& records)
{
    records.clear();
    if (GetError() != kNoError || !IsOpen())
        return false;
    Rewind();
    CShape shape;
    while (ReadNextShape(shape))
        if (shape.PointInPolygon(point) != 0)
            records.push_back(GetCurrentRecord());
    return !records.empty();
}

bool CDxfSource::GoToAttributeRecord(int n)
{
    const CDxfReader::Pass pass = RecordPass();
    if (n >= 0 && m_table.GetCurrentRecord() == n && m_tablePass == pass)
        return true;
    // The attributes alone: the readers' current record stays.
    const int current = Current();
    const bool read = ReadRecord(pass, n);
    Current() = current;
    return read;
}
