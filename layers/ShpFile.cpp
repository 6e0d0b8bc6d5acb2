#include "layers/ShpFile.h"

#include "core/MapGeometry.h"
#include "core/ReadAhead.h"
#include "core/Shape.h"
#include "platform/ByteOrder.h"
#include "platform/Stream.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

namespace {

// Walking the records reads the files this many bytes at a time; a jump,
// to an object the index named, reads little more than one record.
constexpr size_t kWindowSize = 64 * 1024;
// Where reading jumps, the record's length from the index is read (no more:
// every byte copied past it is a cache miss).
constexpr size_t kJumpSize = 64;
// Longest record length an index entry may make a read take at once.
constexpr int64_t kLargestGuess = 1 << 20;
// Content bytes before the part starts of a polyline or polygon: type, box
// and the two counts; before a multipoint's points: type, box and the count.
constexpr int64_t kPolyFixed = 44;
constexpr int64_t kMultiPointFixed = 40;
constexpr int64_t kPointContent = 20;
// The largest file whose lengths and offsets fit the 32-bit word counts.
constexpr int64_t kMaxFileBytes = int64_t{INT32_MAX} * 2;

// Other programs read polygon records by the format's own rules: every ring
// closed, outer rings clockwise and holes counter-clockwise. Our readers
// take rings either way, so writing them so loses nothing here.
CShape ToShapefileRings(const CShape& shape)
{
    struct Ring {
        int start;
        int size;
    };
    std::vector<Ring> rings;
    int start = 0;
    for (uint32_t size : shape.PartSizes()) {
        if (size > 0)
            rings.push_back({start, static_cast<int>(size)});
        start += static_cast<int>(size);
    }
    const CMapPoint* points = shape.Points().GetData();
    CMapPointArray out;
    std::vector<uint32_t> sizes;
    for (size_t i = 0; i < rings.size(); ++i) {
        const Ring& ring = rings[i];
        // A ring is a hole when a vertex of it off every other boundary lies
        // inside an odd number of the other rings.
        int depth = 0;
        for (int k = 0; k < ring.size; ++k) {
            const CMapPoint& probe = points[ring.start + k];
            int inside = 0;
            bool onBoundary = false;
            for (size_t j = 0; j < rings.size() && !onBoundary; ++j) {
                if (j == i)
                    continue;
                const int where = PointInRing(points + rings[j].start, rings[j].size, probe);
                onBoundary = where == 2;
                inside += where == 1 ? 1 : 0;
            }
            if (!onBoundary) {
                depth = inside;
                break;
            }
        }
        const double area = SignedRingArea(points + ring.start, ring.size);
        const bool reverse = depth % 2 == 1 ? area < 0 : area > 0;
        const int before = out.GetSize();
        for (int k = 0; k < ring.size; ++k)
            out.Add(points[ring.start + (reverse ? ring.size - 1 - k : k)]);
        if (ring.size >= 2 && !(out[before] == out[out.GetSize() - 1]))
            out.Add(out[before]);
        sizes.push_back(static_cast<uint32_t>(out.GetSize() - before));
    }
    CShape result;
    result.SetParts(std::move(out), std::move(sizes));
    return result;
}

CMapPoint GetPoint(const unsigned char* p)
{
    return CMapPoint(GetLittleEndian<double>(p), GetLittleEndian<double>(p + 8));
}

void PutPoint(unsigned char* p, const CMapPoint& point)
{
    PutLittleEndian<double>(p, point.x);
    PutLittleEndian<double>(p + 8, point.y);
}

// The box of a record (Xmin, Ymin, Xmax, Ymax) as a map rectangle; false
// for values that are no numbers.
bool GetBox(const unsigned char* p, CMapRect& box)
{
    const double x0 = GetLittleEndian<double>(p), y0 = GetLittleEndian<double>(p + 8);
    const double x1 = GetLittleEndian<double>(p + 16), y1 = GetLittleEndian<double>(p + 24);
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return false;
    box = CMapRect(std::min(x0, x1), std::max(y0, y1), std::max(x0, x1), std::min(y0, y1));
    return true;
}

void PutBox(unsigned char* p, const CMapRect& box)
{
    PutLittleEndian<double>(p, box.left);
    PutLittleEndian<double>(p + 8, box.bottom);
    PutLittleEndian<double>(p + 16, box.right);
    PutLittleEndian<double>(p + 24, box.top);
}

} // namespace

// A stretch of one file held in memory.
struct CShpFile::CWindow {
    CStream* stream = nullptr;
    std::vector<unsigned char> bytes;
    int64_t start = 0;
    size_t size = 0;
    CReadAhead ahead{kJumpSize, kWindowSize};
};

// ------------------------------------------------------------------ header

void CShpFile::CHeader::Encode(unsigned char* bytes) const
{
    std::fill(bytes, bytes + kHeaderSize, 0);
    PutBigEndian<int32_t>(bytes, kFileCode);
    PutBigEndian<int32_t>(bytes + 24, lengthWords);
    PutLittleEndian<int32_t>(bytes + 28, kVersion);
    PutLittleEndian<int32_t>(bytes + 32, shapeType);
    PutLittleEndian<double>(bytes + 36, xmin);
    PutLittleEndian<double>(bytes + 44, ymin);
    PutLittleEndian<double>(bytes + 52, xmax);
    PutLittleEndian<double>(bytes + 60, ymax);
}

bool CShpFile::CHeader::Decode(const unsigned char* bytes)
{
    if (GetBigEndian<int32_t>(bytes) != kFileCode || GetLittleEndian<int32_t>(bytes + 28) != kVersion)
        return false;
    lengthWords = GetBigEndian<int32_t>(bytes + 24);
    shapeType = GetLittleEndian<int32_t>(bytes + 32);
    xmin = GetLittleEndian<double>(bytes + 36);
    ymin = GetLittleEndian<double>(bytes + 44);
    xmax = GetLittleEndian<double>(bytes + 52);
    ymax = GetLittleEndian<double>(bytes + 60);
    return true;
}

// ---------------------------------------------------------------- opening

CShpFile::CShpFile() : m_mainWindow(std::make_unique<CWindow>()), m_indexWindow(std::make_unique<CWindow>()) {}

CShpFile::~CShpFile() = default;

void CShpFile::Close()
{
    m_main.reset();
    m_index.reset();
    *m_mainWindow = CWindow();
    *m_indexWindow = CWindow();
    m_header = CHeader();
    m_mainEnd = 0;
    m_truncated = false;
    m_indexCount = 0;
    m_created = false;
    m_written = 0;
    m_writePosition = 0;
    m_writtenExtent.SetEmpty();
    ForgetReadAhead();
}

void CShpFile::ForgetReadAhead()
{
    m_aheadCount = m_aheadNext = 0;
    m_recordAhead = nullptr;
}

int CShpFile::Open(std::unique_ptr<CStream> main, std::unique_ptr<CStream> index)
{
    Close();
    if (!main || !index)
        return kReadError;
    unsigned char bytes[kHeaderSize];
    CHeader indexHeader;
    if (!main->Seek(0) || !main->ReadExact(bytes, kHeaderSize))
        return kReadError;
    if (!m_header.Decode(bytes))
        return kBadStructure;
    if (!index->Seek(0) || !index->ReadExact(bytes, kHeaderSize))
        return kReadError;
    if (!indexHeader.Decode(bytes))
        return kBadStructure;
    if (m_header.lengthWords < kHeaderSize / 2 || indexHeader.lengthWords < kHeaderSize / 2)
        return kBadStructure;

    // The records end where the header says, or where the file does when
    // it was cut short; bytes past the stated length are not records.
    const int64_t mainSize = main->Size();
    const int64_t stated = int64_t{m_header.lengthWords} * 2;
    m_truncated = mainSize < stated;
    m_mainEnd = std::min(mainSize, stated);
    const int64_t indexEnd = std::min(index->Size(), int64_t{indexHeader.lengthWords} * 2);
    m_indexCount = static_cast<int>(std::max<int64_t>(indexEnd - kHeaderSize, 0) / kIndexRecordSize);

    m_main = std::move(main);
    m_index = std::move(index);
    m_mainWindow->stream = m_main.get();
    m_indexWindow->stream = m_index.get();
    return kNoError;
}

// ---------------------------------------------------------------- reading

const unsigned char* CShpFile::Fetch(CWindow& window, int64_t offset, size_t count, int64_t end, int64_t guess)
{
    m_fetchError = PastEnd();
    if (offset < 0 || offset > end || static_cast<int64_t>(count) > end - offset)
        return nullptr;
    if (&window == m_mainWindow.get() && m_recordAhead && offset >= m_recordAhead->offset &&
        offset + static_cast<int64_t>(count) <= m_recordAhead->offset + static_cast<int64_t>(m_recordAhead->bytes.size()))
        return m_recordAhead->bytes.data() + (offset - m_recordAhead->offset);
    if (offset >= window.start && offset + static_cast<int64_t>(count) <= window.start + static_cast<int64_t>(window.size))
        return window.bytes.data() + (offset - window.start);
    const size_t want = static_cast<size_t>(std::min<int64_t>(
        window.ahead.Want(offset, std::max(static_cast<int64_t>(count), guess), window.start,
                          window.start + static_cast<int64_t>(window.size)),
        end - offset));
    try {
        if (window.bytes.size() < want)
            window.bytes.resize(want);
    } catch (const std::bad_alloc&) {
        window.size = 0;
        m_fetchError = kNoMemory;
        return nullptr;
    }
    window.start = offset;
    window.size = 0;
    // Bytes inside the end that cannot be read: the file failed or shrank.
    m_fetchError = kReadError;
    if (!window.stream->Seek(offset))
        return nullptr;
    window.size = window.stream->Read(window.bytes.data(), want);
    return window.size >= count ? window.bytes.data() : nullptr;
}

int CShpFile::PastEnd() const
{
    return m_truncated ? kReadError : kBadStructure;
}

int CShpFile::ReadRecord(int64_t offset, CRecord& record, int64_t bytes)
{
    if (!m_main)
        return kReadError;
    if (offset < kHeaderSize || offset + kRecordHeadSize > m_mainEnd)
        return PastEnd();
    const unsigned char* head =
        Fetch(*m_mainWindow, offset, kRecordHeadSize + 4, m_mainEnd, std::min(bytes, kLargestGuess));
    if (!head)
        return m_fetchError;
    const int32_t words = GetBigEndian<int32_t>(head + 4);
    record.offset = offset;
    record.number = GetBigEndian<int32_t>(head);
    record.contentBytes = int64_t{words} * 2;
    // Every record holds at least its shape type.
    if (words < 2 || record.contentBytes > m_mainEnd - offset - kRecordHeadSize)
        return words < 2 ? kBadStructure : PastEnd();
    record.type = GetLittleEndian<int32_t>(head + kRecordHeadSize);
    return kNoError;
}

bool CShpFile::IsReadAhead(int n)
{
    while (m_aheadNext < m_aheadCount && m_ahead[m_aheadNext] < n)
        ++m_aheadNext;
    return m_aheadNext < m_aheadCount && m_ahead[m_aheadNext] == n;
}

void CShpFile::ReadAhead(const std::vector<int>& records, size_t count)
{
    ForgetReadAhead();
    if (!m_index || !m_main)
        return;
    count = std::min(count, records.size());
    m_ahead.assign(records.begin(), records.begin() + static_cast<ptrdiff_t>(count));
    for (std::vector<CRangeRead>* reads : {&m_aheadEntries, &m_aheadRecords})
        if (reads->size() < count)
            reads->resize(count);
    for (size_t i = 0; i < count; ++i) {
        const int n = m_ahead[i];
        m_aheadEntries[i].offset = kHeaderSize + int64_t{n} * kIndexRecordSize;
        m_aheadEntries[i].length = n >= 0 && n < m_indexCount ? kIndexRecordSize : 0;
    }
    ReadRanges(*m_index, m_aheadEntries, count);
    for (size_t i = 0; i < count; ++i) {
        const std::vector<unsigned char>& entry = m_aheadEntries[i].bytes;
        CRangeRead& record = m_aheadRecords[i];
        record.length = 0;
        if (entry.size() != size_t(kIndexRecordSize))
            continue;
        record.offset = int64_t{GetBigEndian<int32_t>(entry.data())} * 2;
        const int64_t length = kRecordHeadSize + int64_t{GetBigEndian<int32_t>(entry.data() + 4)} * 2;
        // Lying entries are read as the plain reader reads them.
        if (record.offset >= kHeaderSize && length > kRecordHeadSize && length <= kLargestGuess &&
            record.offset + length <= m_mainEnd)
            record.length = length;
    }
    ReadRanges(*m_main, m_aheadRecords, count);
    m_aheadCount = count;
}

int CShpFile::ReadIndexedRecord(int n, CRecord& record)
{
    m_recordAhead = nullptr;
    if (!m_index || n < 0 || n >= m_indexCount)
        return kReadError;
    const unsigned char* entry = nullptr;
    if (IsReadAhead(n) && m_aheadEntries[m_aheadNext].bytes.size() == size_t(kIndexRecordSize)) {
        entry = m_aheadEntries[m_aheadNext].bytes.data();
        m_recordAhead = &m_aheadRecords[m_aheadNext];
    } else {
        const int64_t at = kHeaderSize + int64_t{n} * kIndexRecordSize;
        entry = Fetch(*m_indexWindow, at, kIndexRecordSize, kHeaderSize + int64_t{m_indexCount} * kIndexRecordSize);
    }
    if (!entry)
        return kReadError;
    return ReadRecord(int64_t{GetBigEndian<int32_t>(entry)} * 2, record,
                      kRecordHeadSize + int64_t{GetBigEndian<int32_t>(entry + 4)} * 2);
}

int CShpFile::ReadPoint(const CRecord& record, CMapPoint& point, bool& empty)
{
    empty = false;
    const int64_t content = record.offset + kRecordHeadSize;
    if (record.type == kNullShape) {
        empty = true;
        return kNoError;
    }
    if (record.type == kPoint) {
        if (record.contentBytes < kPointContent)
            return kBadStructure;
        const unsigned char* p = Fetch(*m_mainWindow, content + 4, 16, m_mainEnd);
        if (!p)
            return m_fetchError;
        point = GetPoint(p);
        return point.IsFinite() ? kNoError : kBadStructure;
    }
    if (record.type != kMultiPoint || record.contentBytes < kMultiPointFixed)
        return kBadStructure;
    const unsigned char* p = Fetch(*m_mainWindow, content + 36, 4, m_mainEnd);
    if (!p)
        return m_fetchError;
    const int64_t count = GetLittleEndian<int32_t>(p);
    if (count < 0 || kMultiPointFixed + 16 * count > record.contentBytes)
        return kBadStructure;
    if (count == 0) {
        empty = true;
        return kNoError;
    }
    p = Fetch(*m_mainWindow, content + kMultiPointFixed, 16, m_mainEnd);
    if (!p)
        return m_fetchError;
    point = GetPoint(p);
    return point.IsFinite() ? kNoError : kBadStructure;
}

int CShpFile::ReadPolyHead(const CRecord& record, CPolyHead& head)
{
    head = CPolyHead();
    if (record.type == kNullShape)
        return kNoError;
    if ((record.type != kPolyLine && record.type != kPolygon) || record.contentBytes < kPolyFixed)
        return kBadStructure;
    const unsigned char* p = Fetch(*m_mainWindow, record.offset + kRecordHeadSize, kPolyFixed, m_mainEnd);
    if (!p)
        return m_fetchError;
    const int32_t parts = GetLittleEndian<int32_t>(p + 36);
    const int32_t points = GetLittleEndian<int32_t>(p + 40);
    if (parts < 0 || points < 0 || kPolyFixed + 4 * int64_t{parts} + 16 * int64_t{points} > record.contentBytes)
        return kBadStructure;
    if (parts == 0 && points == 0)
        return kNoError;
    // A part needs a point to start at.
    if (parts == 0 || points == 0 || parts > points || !GetBox(p + 4, head.box))
        return kBadStructure;
    head.parts = parts;
    head.points = points;
    return kNoError;
}

int CShpFile::ReadBox(const CRecord& record, CMapRect& box, bool& empty)
{
    CPolyHead head;
    const int error = ReadPolyHead(record, head);
    box = head.box;
    empty = head.points == 0;
    return error;
}

int CShpFile::ReadShape(const CRecord& record, CShape& shape)
{
    CPolyHead head;
    if (const int error = ReadPolyHead(record, head); error != kNoError)
        return error;
    if (head.points == 0) {
        shape.RemoveAll();
        return kNoError;
    }
    const int parts = head.parts, points = head.points;
    // Both lists lie inside the record, which lies inside the file.
    const size_t bytes = 4 * static_cast<size_t>(parts) + 16 * static_cast<size_t>(points);
    const unsigned char* p = Fetch(*m_mainWindow, record.offset + kRecordHeadSize + kPolyFixed, bytes, m_mainEnd);
    if (!p)
        return m_fetchError;
    try {
        std::vector<uint32_t>& sizes = shape.PartSizes();
        sizes.resize(static_cast<size_t>(parts));
        int32_t start = GetLittleEndian<int32_t>(p);
        if (start != 0)
            return kBadStructure;
        for (int i = 0; i < parts; ++i) {
            const int32_t next = i + 1 < parts ? GetLittleEndian<int32_t>(p + 4 * (i + 1)) : points;
            if (next <= start || next > points)
                return kBadStructure;
            sizes[static_cast<size_t>(i)] = static_cast<uint32_t>(next - start);
            start = next;
        }
        CMapPointArray& array = shape.Points();
        array.SetSize(points);
        if (!ReadLittleEndianPoints(p + 4 * static_cast<size_t>(parts), static_cast<size_t>(points), array.GetData()))
            return kBadStructure;
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    shape.SetExtent(head.box);
    return kNoError;
}

// ---------------------------------------------------------------- writing

int CShpFile::Create(std::unique_ptr<CStream> main, std::unique_ptr<CStream> index, int32_t type)
{
    Close();
    if (type != kPoint && type != kPolyLine && type != kPolygon)
        return kWrongType;
    if (!main || !index)
        return kWriteError;
    m_header = CHeader();
    m_header.shapeType = type;
    unsigned char bytes[kHeaderSize];
    m_header.Encode(bytes);
    if (!main->Seek(0) || !main->WriteExact(bytes, kHeaderSize) || !main->Truncate(kHeaderSize) ||
        !index->Seek(0) || !index->WriteExact(bytes, kHeaderSize) || !index->Truncate(kHeaderSize))
        return kWriteError;
    m_main = std::move(main);
    m_index = std::move(index);
    m_mainWindow->stream = m_main.get();
    m_indexWindow->stream = m_index.get();
    m_created = true;
    m_writePosition = kHeaderSize;
    m_mainEnd = kHeaderSize;
    return kNoError;
}

int CShpFile::AppendRecord(const std::vector<unsigned char>& bytes, const CMapRect& box)
{
    if (!m_created)
        return kWriteError;
    const int64_t size = static_cast<int64_t>(bytes.size());
    const int64_t indexEnd = kHeaderSize + int64_t{m_written + 1} * kIndexRecordSize;
    if (m_written == INT32_MAX || m_writePosition + size > kMaxFileBytes || indexEnd > kMaxFileBytes)
        return kWriteError;
    unsigned char entry[kIndexRecordSize];
    PutBigEndian<int32_t>(entry, static_cast<int32_t>(m_writePosition / 2));
    PutBigEndian<int32_t>(entry + 4, static_cast<int32_t>((size - kRecordHeadSize) / 2));
    if (!m_main->Seek(m_writePosition) || !m_main->WriteExact(bytes.data(), bytes.size()) ||
        !m_index->Seek(indexEnd - kIndexRecordSize) || !m_index->WriteExact(entry, kIndexRecordSize))
        return kWriteError;
    m_writePosition += size;
    m_mainEnd = m_writePosition;
    ++m_written;
    m_indexCount = m_written;
    if (box.IsValid())
        m_writtenExtent.UnionRect(m_writtenExtent, box);
    // What the windows hold may end before the new record.
    m_mainWindow->size = 0;
    m_indexWindow->size = 0;
    ForgetReadAhead();
    return kNoError;
}

int CShpFile::AppendPoint(const CMapPoint& point)
{
    if (m_created && m_header.shapeType != kPoint)
        return kWrongType;
    if (!point.IsFinite())
        return kWrongType;
    m_recordBuffer.assign(kPointRecordSize, 0);
    unsigned char* p = m_recordBuffer.data();
    PutBigEndian<int32_t>(p, m_written + 1);
    PutBigEndian<int32_t>(p + 4, (kPointRecordSize - kRecordHeadSize) / 2);
    PutLittleEndian<int32_t>(p + 8, kPoint);
    PutPoint(p + 12, point);
    return AppendRecord(m_recordBuffer, CMapRect(point));
}

int CShpFile::AppendShape(const CShape& given)
{
    if (m_created && m_header.shapeType != kPolyLine && m_header.shapeType != kPolygon)
        return kWrongType;
    int64_t givenTotal = 0;
    for (uint32_t size : given.PartSizes())
        givenTotal += size;
    if (givenTotal != given.GetPointCount())
        return kWrongType;
    const CShape rings = m_header.shapeType == kPolygon ? ToShapefileRings(given) : CShape();
    const CShape& shape = m_header.shapeType == kPolygon ? rings : given;
    const int points = shape.GetPointCount();
    int64_t total = 0;
    int parts = 0;
    for (uint32_t size : shape.PartSizes()) {
        total += size;
        parts += size > 0 ? 1 : 0;
    }
    if (total != points)
        return kWrongType;
    CMapRect box;
    for (const CMapPoint& p : shape.Points()) {
        if (!p.IsFinite())
            return kWrongType;
        box.UnionPoint(p);
    }
    const int64_t size = kRecordHeadSize + kPolyFixed + 4 * int64_t{parts} + 16 * int64_t{points};
    if (size > kMaxFileBytes - m_writePosition)
        return kWriteError;
    try {
        m_recordBuffer.assign(static_cast<size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    unsigned char* p = m_recordBuffer.data();
    PutBigEndian<int32_t>(p, m_written + 1);
    PutBigEndian<int32_t>(p + 4, static_cast<int32_t>((size - kRecordHeadSize) / 2));
    PutLittleEndian<int32_t>(p + 8, m_header.shapeType);
    if (points > 0)
        PutBox(p + 12, box);
    PutLittleEndian<int32_t>(p + 44, parts);
    PutLittleEndian<int32_t>(p + 48, points);
    unsigned char* q = p + 52;
    int32_t start = 0;
    for (uint32_t partSize : shape.PartSizes()) {
        if (partSize == 0)
            continue;
        PutLittleEndian<int32_t>(q, start);
        q += 4;
        start += static_cast<int32_t>(partSize);
    }
    for (const CMapPoint& point : shape.Points()) {
        PutPoint(q, point);
        q += 16;
    }
    return AppendRecord(m_recordBuffer, box);
}

int CShpFile::WriteHeaders()
{
    if (!m_created)
        return kWriteError;
    CHeader header = m_header;
    if (m_writtenExtent.IsValid()) {
        header.xmin = m_writtenExtent.left;
        header.ymin = m_writtenExtent.bottom;
        header.xmax = m_writtenExtent.right;
        header.ymax = m_writtenExtent.top;
    }
    unsigned char bytes[kHeaderSize];
    header.lengthWords = static_cast<int32_t>(m_writePosition / 2);
    header.Encode(bytes);
    if (!m_main->Seek(0) || !m_main->WriteExact(bytes, kHeaderSize))
        return kWriteError;
    header.lengthWords = static_cast<int32_t>((kHeaderSize + int64_t{m_written} * kIndexRecordSize) / 2);
    header.Encode(bytes);
    if (!m_index->Seek(0) || !m_index->WriteExact(bytes, kHeaderSize))
        return kWriteError;
    m_header = header;
    m_mainWindow->size = 0;
    m_indexWindow->size = 0;
    return kNoError;
}

bool CShpFile::Flush()
{
    return (!m_main || m_main->Flush()) && (!m_index || m_index->Flush());
}
