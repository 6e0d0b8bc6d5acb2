#include "layers/GdbSource.h"

#include "core/FileUtil.h"
#include "core/MapGeometry.h"
#include "platform/ByteOrder.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"
#include "platform/WriteBehindStream.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr int32_t kVersion = 1;
constexpr int32_t kReserved = 255;
constexpr int64_t kLockLength = 1000000000;

int32_t Get32(const unsigned char* p)
{
    return GetLittleEndian<int32_t>(p);
}

// The columns of the geometry table of each type.
std::vector<CDbfFieldInfo> GeometryColumns(int type)
{
    std::vector<CDbfFieldInfo> fields;
    const auto add = [&](const char* name, int width) { fields.emplace_back().Set(name, 'C', width, 0); };
    if (type == CFeatureSource::kPoint) {
        add("COORDD", CGdbSource::kCoordWidth);
    } else {
        add("RECTD", CGdbSource::kRectWidth);
        add("PTR", CGdbSource::kPtrWidth);
        if (type == CFeatureSource::kText) {
            add("COORDD", CGdbSource::kCoordWidth);
            add("PARAM", CGdbSource::kParamWidth);
            add("TEXT", CGdbSource::kTextWidth);
            add("FONT", CGdbSource::kTextWidth);
        }
    }
    fields.emplace_back().Set("", 0, 0, 0);
    return fields;
}

std::unique_ptr<CStream> WriteBehind(std::unique_ptr<CStream> file)
{
    return file ? std::make_unique<CWriteBehindStream>(std::move(file)) : nullptr;
}

bool IsGdbType(int type)
{
    return type == CFeatureSource::kPoint || type == CFeatureSource::kLine || type == CFeatureSource::kArea ||
           type == CFeatureSource::kText;
}

// Two geometry types one file may switch between.
bool Interchangeable(int a, int b)
{
    return a == b || ((a == CFeatureSource::kLine || a == CFeatureSource::kArea) &&
                      (b == CFeatureSource::kLine || b == CFeatureSource::kArea));
}

std::string TrimmedText(const DbfHandle& h, int field, size_t limit)
{
    std::string text = DbfGetString(h, field);
    const size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

} // namespace

// ------------------------------------------------------------------ header

int32_t CGdbSource::CHeader::Get(int offset) const
{
    return Get32(bytes + offset);
}

void CGdbSource::CHeader::Set(int offset, int32_t value)
{
    PutLittleEndian<int32_t>(bytes + offset, value);
}

CMapRect CGdbSource::CHeader::Extent() const
{
    return CMapRect(GetLittleEndian<double>(bytes + 40), GetLittleEndian<double>(bytes + 48),
                    GetLittleEndian<double>(bytes + 56), GetLittleEndian<double>(bytes + 64));
}

void CGdbSource::CHeader::SetExtent(const CMapRect& extent)
{
    PutLittleEndian<double>(bytes + 40, extent.left);
    PutLittleEndian<double>(bytes + 48, extent.top);
    PutLittleEndian<double>(bytes + 56, extent.right);
    PutLittleEndian<double>(bytes + 64, extent.bottom);
}

void CGdbSource::CHeader::Seal()
{
    Set(92, Get(4) >= 1 ? static_cast<int32_t>(ComputeCheckWord(bytes)) : 0);
}

uint32_t CGdbSource::ComputeCheckWord(const unsigned char* header)
{
    const uint32_t sum = Checksum16Bytes(header, 46);
    const uint32_t length = static_cast<uint32_t>(Get32(header + 24));
    return ((length >> 5) | (length << 27)) ^ (sum << 5);
}

// Write access to the layer for one operation: the geometry file locked,
// and the header and both record counts as the files hold them now; or the
// hold of BeginWrites, given a fresh start after every block of writes.
class CGdbSource::CWriteLock {
public:
    explicit CWriteLock(CGdbSource& source) : m_source(source)
    {
        if (source.m_holding) {
            m_granted = source.HeldBytes() <= kHeldBlock || (source.EndWrites() && source.BeginWrites());
            source.m_geoRecord = -1;
            source.ForgetWindow();
            return;
        }
        m_granted = source.TakeWriteLock();
        m_release = m_granted;
    }
    ~CWriteLock()
    {
        if (m_release)
            UnlockFileForWrite(*m_source.m_vec);
    }
    CWriteLock(const CWriteLock&) = delete;
    CWriteLock& operator=(const CWriteLock&) = delete;

    explicit operator bool() const { return m_granted; }

private:
    CGdbSource& m_source;
    bool m_granted = false;
    bool m_release = false;
};

bool CGdbSource::TakeWriteLock()
{
    if (!m_vec || RefuseIfReadOnly(*m_vec) || DbfRefuseIfReadOnly(*m_geo) ||
        DbfRefuseIfReadOnly(*m_table.GetHandle()) || !LockFileForWrite(*m_vec))
        return false;
    CHeader header;
    int error = ReadHeader(header);
    if (error == kNoError && !Interchangeable(header.Type(), m_type))
        error = kBadStructure;
    if (error == kNoError && !(DbfRefreshHeader(*m_geo) && DbfRefreshHeader(*m_table.GetHandle()) &&
                               m_geo->RecordCount() == m_table.GetRecordCount()))
        error = kBadStructure;
    m_geoRecord = -1;
    ForgetWindow();
    if (error != kNoError) {
        UnlockFileForWrite(*m_vec);
        SetError(error);
        AppMessageBox(error == kReadError ? 1028 : 1030);
        return false;
    }
    // A type switched here and not yet written stays.
    if (m_typeChanged)
        header.Set(32, m_type);
    else
        m_type = header.Type();
    m_header = header;
    return true;
}

bool CGdbSource::BeginWrites()
{
    if (m_holding)
        return true;
    // A file that cannot be written is left to the writes to report.
    if (!IsOpen() || !m_vec->IsWritable() || m_geo->damaged || m_table.GetHandle()->damaged || !TakeWriteLock())
        return false;
    // The two tables' locks after the layer's, as every writer takes them.
    if (!DbfLock(*m_geo) || !DbfLock(*m_table.GetHandle())) {
        DbfUnlock(*m_geo);
        UnlockFileForWrite(*m_vec);
        SetError(kWriteError);
        return false;
    }
    m_vec->HoldWrites();
    m_holding = true;
    m_heldFrom = m_geo->RecordCount();
    m_heldLength = m_header.Length();
    return true;
}

bool CGdbSource::EndWrites()
{
    if (!m_holding)
        return true;
    m_holding = false;
    DbfHandle& attributes = *m_table.GetHandle();
    // The blocks before the geometry records that point at them, and those
    // before their attribute records; what would follow a failed write is
    // dropped, so the files keep whole objects only.
    bool written = m_vec->ReleaseWrites();
    if (!written)
        m_vec->Truncate(m_heldLength); // the length its header gives
    if (written)
        written = DbfSendWrites(*m_geo);
    else
        DbfDropWrites(*m_geo);
    if (written && !DbfSendWrites(attributes)) {
        DbfTruncate(*m_geo, m_heldFrom);
        written = false;
    } else if (!written) {
        DbfDropWrites(attributes);
    }
    written = DbfUnlock(*m_geo) && written;
    DbfUnlock(attributes);
    CHeader header;
    if (!written && ReadHeader(header) == kNoError)
        m_header = header;
    UnlockFileForWrite(*m_vec);
    if (written)
        return true;
    AppMessageBox(1045);
    SetError(kWriteError);
    return false;
}

size_t CGdbSource::HeldBytes() const
{
    return m_vec->WritesWaiting() + m_geo->stream->WritesWaiting() + m_table.GetHandle()->stream->WritesWaiting();
}

int CGdbSource::ReadHeader(CHeader& header) const
{
    if (!m_vec->Seek(0) || !m_vec->ReadExact(header.bytes, kHeaderSize))
        return kReadError;
    if (static_cast<uint32_t>(header.Get(0)) != kMagic || header.Length() != m_vec->Size() ||
        header.Length() < kHeaderSize || !IsGdbType(header.Type()))
        return kBadStructure;
    if (header.Get(4) >= 1 && static_cast<uint32_t>(header.Get(92)) != ComputeCheckWord(header.bytes))
        return kBadStructure;
    return kNoError;
}

bool CGdbSource::WriteHeader()
{
    ForgetWindow();
    m_header.Seal();
    if (m_vec->Seek(0) && m_vec->WriteExact(m_header.bytes, kHeaderSize))
        return true;
    AppMessageBox(1045);
    SetError(kWriteError);
    return false;
}

// --------------------------------------------------------- open and close

CGdbSource::~CGdbSource()
{
    Close();
}

bool CGdbSource::Create(const std::string& path, int type, const CDbfFieldInfo* fields)
{
    return CreateFiles(path, type, GeometryColumns(type).data(), fields);
}

bool CGdbSource::CreateFiles(const std::string& path, int type, const CDbfFieldInfo* columns,
                             const CDbfFieldInfo* fields)
{
    Close();
    SetError(kNoError);
    if (!IsGdbType(type)) {
        SetError(kWrongType);
        return false;
    }
    m_path = path;
    m_geo = DbfCreate(path, columns);
    if (!m_geo) {
        Close();
        SetError(kCreateError);
        return false;
    }
    const std::string vecPath = ChangeExtensionCopy(path, "vec");
    m_vec = WriteBehind(CFileStream::Open(vecPath, FileMode::CreateAlways));
    if (!m_vec) {
        Close();
        AppMessageBoxArg(1027, vecPath);
        SetError(kCreateError);
        return false;
    }
    m_header = CHeader();
    m_header.Set(0, static_cast<int32_t>(kMagic));
    m_header.Set(4, kVersion);
    m_header.Set(24, kHeaderSize);
    m_header.Set(32, type);
    m_header.SetExtent(CMapRect());
    m_header.Set(84, kReserved);
    if (!WriteHeader()) {
        Close();
        SetError(kWriteError);
        return false;
    }
    std::vector<CDbfFieldInfo> idOnly(2);
    idOnly[0].Set("ID", 'C', 20, 0);
    idOnly[1].Set("", 0, 0, 0);
    if (!m_table.Create(ChangeExtensionCopy(path, "dbf"), fields ? fields : idOnly.data())) {
        Close();
        SetError(kCreateError);
        return false;
    }
    m_type = type;
    if (!FindColumns()) {
        Close();
        SetError(kBadStructure);
        return false;
    }
    // An index left by an earlier layer of this name means nothing now.
    DropStaleIndex();
    return true;
}

bool CGdbSource::Open(const std::string& path)
{
    Close();
    SetError(kNoError);
    m_path = path;
    DbfError dbfError = DbfError::None;
    m_geo = DbfOpen(path, &dbfError);
    if (!m_geo) {
        SetError(dbfError == DbfError::BadStructure ? kBadStructure : kOpenError);
        return false;
    }
    if (!OpenGeometryFile(FindSiblingByExtension(path, "vec")))
        return false;
    if (!m_table.Open(FindSiblingByExtension(path, "dbf"))) {
        Close();
        SetError(kOpenError);
        return false;
    }
    DbfHandle& attributes = *m_table.GetHandle();
    if (m_geo->damaged || attributes.damaged) {
        // Cut short: the objects both tables hold whole are read, nothing is written.
        const int count = std::min(m_geo->RecordCount(), attributes.RecordCount());
        if (!attributes.damaged)
            AppMessageBox(1030); // else the attribute table said it
        DbfMarkDamaged(*m_geo, count);
        DbfMarkDamaged(attributes, count);
        return true;
    }
    // Under the lock no writer stands between the two tables' appends; and
    // the header is read again with the counts, so it holds every block
    // they count, whatever was appended since it was read first.
    const bool locked = LockRegionWithRetry(*m_vec, 0, kLockLength);
    const bool parallel = CheckRecordCounts();
    CHeader header;
    if (parallel && ReadHeader(header) == kNoError && Interchangeable(header.Type(), m_type))
        m_header = header;
    if (locked)
        m_vec->UnlockRegion(0, kLockLength);
    if (!parallel) {
        Close();
        AppMessageBox(1030);
        SetError(kBadStructure);
        return false;
    }
    return true;
}

bool CGdbSource::OpenGeometryFile(const std::string& vecPath)
{
    int error = 0;
    std::unique_ptr<CStream> file = CFileStream::Open(vecPath, FileMode::ReadWrite, &error);
    if (!file)
        file = CFileStream::Open(vecPath, FileMode::Read, &error);
    m_vec = WriteBehind(std::move(file));
    if (!m_vec) {
        Close();
        AppMessageBox(SystemErrorText(error), MB_OK | MB_ICONERROR);
        SetError(kOpenError);
        return false;
    }
    const bool locked = LockRegionWithRetry(*m_vec, 0, kLockLength);
    CHeader header;
    const int headerError = ReadHeader(header);
    if (locked)
        m_vec->UnlockRegion(0, kLockLength);
    if (headerError != kNoError) {
        Close();
        AppMessageBox(headerError == kReadError ? 1028 : 1030);
        SetError(headerError);
        return false;
    }
    m_header = header;
    m_type = header.Type();
    if (!FindColumns()) {
        Close();
        SetError(kBadStructure);
        return false;
    }
    return true;
}

bool CGdbSource::FindColumns()
{
    const auto find = [&](const char* name, int width) {
        const int index = DbfFindField(*m_geo, name);
        return index >= 0 && m_geo->fields[static_cast<size_t>(index)].length >= width ? index : -1;
    };
    m_coordField = find("COORDD", kCoordWidth);
    m_rectField = find("RECTD", kRectWidth);
    m_ptrField = find("PTR", kPtrWidth);
    m_paramField = find("PARAM", kParamWidth);
    m_textField = find("TEXT", 1);
    m_fontField = find("FONT", 1);
    switch (m_type) {
    case kPoint:
        return m_coordField >= 0;
    case kLine:
    case kArea:
        return m_rectField >= 0 && m_ptrField >= 0;
    case kText:
        return m_rectField >= 0 && m_ptrField >= 0 && m_coordField >= 0 && m_paramField >= 0 && m_textField >= 0 &&
               m_fontField >= 0;
    default:
        return false;
    }
}

bool CGdbSource::CheckRecordCounts()
{
    return DbfRefreshHeader(*m_geo) && DbfRefreshHeader(*m_table.GetHandle()) &&
           m_geo->RecordCount() == m_table.GetRecordCount();
}

void CGdbSource::Close()
{
    if (m_vec)
        EndWrites();
    if (m_vec && m_typeChanged && !HasStoppingError() && m_vec->IsWritable() && LockFileForWrite(*m_vec)) {
        CHeader header;
        if (ReadHeader(header) == kNoError) {
            header.Set(32, m_type);
            m_header = header;
            WriteHeader();
        }
        UnlockFileForWrite(*m_vec);
    }
    m_typeChanged = false;
    ForgetWindow();
    m_vec.reset();
    DbfClose(m_geo);
    m_table.Close();
    ResetReading();
    m_geoRecord = -1;
    m_coordField = m_rectField = m_ptrField = m_paramField = m_textField = m_fontField = -1;
}

bool CGdbSource::AcceptType(int type)
{
    if (!IsOpen()) {
        m_type = type;
        return true;
    }
    if (type == m_type)
        return true;
    if (!Interchangeable(type, m_type))
        return false;
    m_type = type;
    m_header.Set(32, type);
    m_typeChanged = true;
    return true;
}

bool CGdbSource::GetExtent(CMapRect& extent)
{
    extent = m_header.Extent();
    return true;
}

std::string CGdbSource::GetIndexedTablePath() const
{
    return m_path;
}

int CGdbSource::GetIndexedRecordCount() const
{
    return m_geo ? m_geo->RecordCount() : 0;
}

void CGdbSource::DropStaleIndex()
{
    const std::string index = GetIndexPath();
    if (!index.empty() && PathExists(index))
        RemoveFile(index);
}

// ------------------------------------------------------- geometry records

bool CGdbSource::ReadGeoRecord(int n)
{
    if (!m_geo)
        return false;
    if (n == m_geoRecord)
        return true;
    m_geoRecord = -1;
    if (!DbfReadRecord(*m_geo, n))
        return false;
    m_geoRecord = n;
    return true;
}

bool CGdbSource::WriteGeoRecord(int n)
{
    m_geo->current = n;
    m_geo->flags = 0;
    if (DbfWriteCurrent(*m_geo))
        return true;
    m_geoRecord = -1;
    AppMessageBox(1045);
    SetError(kWriteError);
    return false;
}

bool CGdbSource::GeoRecordDeleted() const
{
    return m_geo->IsDeleted();
}

CMapPoint CGdbSource::GeoPoint() const
{
    const char* p = DbfFieldPtr(*m_geo, m_coordField);
    const auto* bytes = reinterpret_cast<const unsigned char*>(p);
    return CMapPoint(GetLittleEndian<double>(bytes), GetLittleEndian<double>(bytes + 8));
}

CMapRect CGdbSource::GeoBox() const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(DbfFieldPtr(*m_geo, m_rectField));
    return CMapRect(GetLittleEndian<double>(bytes), GetLittleEndian<double>(bytes + 8),
                    GetLittleEndian<double>(bytes + 16), GetLittleEndian<double>(bytes + 24));
}

int32_t CGdbSource::GeoPtr() const
{
    return Get32(reinterpret_cast<const unsigned char*>(DbfFieldPtr(*m_geo, m_ptrField)));
}

CMapRect CGdbSource::GeoTestBox() const
{
    return m_rectField >= 0 ? GeoBox() : CMapRect(GeoPoint());
}

void CGdbSource::PutGeoPoint(const CMapPoint& point)
{
    auto* bytes = reinterpret_cast<unsigned char*>(DbfFieldPtr(*m_geo, m_coordField));
    PutLittleEndian<double>(bytes, point.x);
    PutLittleEndian<double>(bytes + 8, point.y);
}

void CGdbSource::PutGeoBox(const CMapRect& box)
{
    auto* bytes = reinterpret_cast<unsigned char*>(DbfFieldPtr(*m_geo, m_rectField));
    PutLittleEndian<double>(bytes, box.left);
    PutLittleEndian<double>(bytes + 8, box.top);
    PutLittleEndian<double>(bytes + 16, box.right);
    PutLittleEndian<double>(bytes + 24, box.bottom);
}

void CGdbSource::PutGeoPtr(int32_t offset)
{
    PutLittleEndian<int32_t>(reinterpret_cast<unsigned char*>(DbfFieldPtr(*m_geo, m_ptrField)), offset);
}

// ----------------------------------------------------------- geometry file

const unsigned char* CGdbSource::ReadVecBytes(int64_t offset, int64_t size, int64_t guess)
{
    if (m_blockHit && m_blockHit->offset == offset && size_t(size) <= m_blockHit->bytes.size())
        return m_blockHit->bytes.data();
    const int64_t windowEnd = m_windowStart + static_cast<int64_t>(m_window.size());
    if (offset >= m_windowStart && offset + size <= windowEnd)
        return m_window.data() + (offset - m_windowStart);
    const int64_t want = std::min(m_windowSize.Want(offset, std::max(size, guess), m_windowStart, windowEnd),
                                  m_header.Length() - offset);
    m_window.resize(static_cast<size_t>(want));
    if (want < size || !m_vec->Seek(offset) || !m_vec->ReadExact(m_window.data(), m_window.size())) {
        ForgetWindow();
        return nullptr;
    }
    m_windowStart = offset;
    return m_window.data();
}

void CGdbSource::ForgetWindow()
{
    m_window.clear();
    m_windowStart = 0;
    m_fetchedCount = m_fetchedNext = 0;
    m_fetchedShapes = false;
    m_blockHit = nullptr;
    m_plainUntil = -1;
}

bool CGdbSource::TakeFetchedRecord(int n, bool shapes)
{
    m_blockHit = nullptr;
    if (n <= m_plainUntil)
        return false;
    while (m_fetchedNext < m_fetchedCount && m_fetched[m_fetchedNext] < n)
        ++m_fetchedNext;
    if (m_fetchedNext == m_fetchedCount || m_fetched[m_fetchedNext] != n)
        FetchHits(n, shapes);
    if (m_fetchedNext == m_fetchedCount || m_fetched[m_fetchedNext] != n)
        return false;
    const CRangeRead& record = m_fetchedRecords[m_fetchedNext];
    if (int64_t(record.bytes.size()) != m_geo->RecordLength() || !DbfPutRecordRead(*m_geo, n, record.bytes.data()))
        return false;
    if (m_fetchedShapes)
        m_blockHit = &m_fetchedBlocks[m_fetchedNext];
    return true;
}

void CGdbSource::FetchHits(int n, bool shapes)
{
    constexpr int64_t kLargestBlockRead = 1 << 20;
    m_fetchedNext = 0;
    m_blockHit = nullptr;
    m_fetchedShapes = false;
    const DbfHandle& geo = *m_geo;
    const int64_t length = geo.RecordLength();
    // Blocks are read as long as the last one or the mean one, whichever
    // is longer: longer blocks take a second read.
    const int64_t meanBlock = (m_header.Length() - kHeaderSize) / std::max(geo.RecordCount(), 1);
    const int64_t guess = std::min(std::max<int64_t>({m_lastBlockSize, meanBlock, kBlockHeaderSize}), kRangeSpanBytes);
    m_fetchedCount = CollectHitsToFetch(n, std::max(meanBlock, length), m_fetched, m_plainUntil);
    const size_t hits = m_fetchedCount;
    if (hits == 0)
        return;
    for (std::vector<CRangeRead>* reads : {&m_fetchedRecords, &m_fetchedBlocks, &m_fetchedRests})
        if (reads->size() < hits)
            reads->resize(hits);
    for (size_t i = 0; i < hits; ++i) {
        m_fetchedRecords[i].offset = DbfRecordOffset(geo, m_fetched[i]);
        m_fetchedRecords[i].length = length;
    }
    ReadRanges(*geo.stream, m_fetchedRecords, hits);
    if (!shapes || m_ptrField < 0)
        return;
    const int64_t fileLength = m_header.Length();
    const ptrdiff_t ptrAt = DbfFieldPtr(*m_geo, m_ptrField) - m_geo->record.data();
    for (size_t i = 0; i < hits; ++i) {
        const std::vector<unsigned char>& record = m_fetchedRecords[i].bytes;
        CRangeRead& block = m_fetchedBlocks[i];
        block.offset = int64_t(record.size()) == length && record[0] != '*' ? Get32(record.data() + ptrAt) : 0;
        const bool valid = block.offset >= kHeaderSize && block.offset + kBlockHeaderSize <= fileLength;
        block.length = valid ? std::min(guess, fileLength - block.offset) : 0;
    }
    ReadRanges(*m_vec, m_fetchedBlocks, hits);
    // Blocks longer than the guess, read whole too; the reader checks them
    // again as it takes them.
    for (size_t i = 0; i < hits; ++i) {
        const CRangeRead& block = m_fetchedBlocks[i];
        CRangeRead& rest = m_fetchedRests[i];
        rest.length = 0;
        if (block.length <= 0 || int64_t(block.bytes.size()) != block.length)
            continue;
        const int64_t need = BlockSize(Get32(block.bytes.data() + 16), Get32(block.bytes.data() + 20));
        if (need > block.length && need <= kLargestBlockRead && block.offset + need <= fileLength) {
            rest.offset = block.offset + block.length;
            rest.length = need - block.length;
        }
    }
    ReadRanges(*m_vec, m_fetchedRests, hits);
    for (size_t i = 0; i < hits; ++i)
        if (m_fetchedRests[i].length > 0) {
            std::vector<unsigned char>& bytes = m_fetchedBlocks[i].bytes;
            bytes.insert(bytes.end(), m_fetchedRests[i].bytes.begin(), m_fetchedRests[i].bytes.end());
        }
    m_fetchedShapes = true;
}

int CGdbSource::ReadBlock(int64_t offset, CShape& shape, const CMapRect& box)
{
    const int64_t length = m_header.Length();
    if (offset < kHeaderSize || offset + kBlockHeaderSize > length || !box.IsFinite())
        return kBadStructure;
    const unsigned char* head = ReadVecBytes(offset, kBlockHeaderSize, m_lastBlockSize);
    if (!head)
        return kReadError;
    const int64_t capacity = Get32(head + 4);
    const int64_t parts = Get32(head + 16);
    const int64_t points = Get32(head + 20);
    if (parts < 0 || points < 0)
        return kBadStructure;
    const int64_t need = BlockSize(parts, points);
    if (need > capacity || offset + need > length)
        return kBadStructure;
    m_lastBlockSize = need;
    try {
        const unsigned char* block = ReadVecBytes(offset, need);
        if (!block)
            return kReadError;
        const unsigned char* sizes = block + kBlockHeaderSize;
        std::vector<uint32_t>& partSizes = shape.PartSizes();
        partSizes.resize(static_cast<size_t>(parts));
        int64_t total = 0;
        for (int64_t i = 0; i < parts; ++i) {
            const int32_t size = Get32(sizes + 4 * i);
            if (size < 0)
                return kBadStructure;
            partSizes[static_cast<size_t>(i)] = static_cast<uint32_t>(size);
            total += size;
        }
        if (total != points)
            return kBadStructure;
        CMapPointArray& array = shape.Points();
        array.SetSize(static_cast<int>(points));
        if (!ReadLittleEndianPoints(sizes + 4 * parts, static_cast<size_t>(points), array.GetData()))
            return kBadStructure;
    } catch (const std::bad_alloc&) {
        ForgetWindow();
        shape = CShape();
        return kNoMemory;
    }
    shape.SetExtent(box);
    return kNoError;
}

bool CGdbSource::ReadBlockHead(int64_t offset, CBlockHead& head)
{
    unsigned char bytes[kBlockHeaderSize];
    if (offset < kHeaderSize || offset + kBlockHeaderSize > m_header.Length() || !m_vec->Seek(offset) ||
        !m_vec->ReadExact(bytes, sizeof bytes))
        return false;
    head.link = Get32(bytes);
    head.capacity = Get32(bytes + 4);
    head.parts = Get32(bytes + 16);
    head.points = Get32(bytes + 20);
    return head.capacity >= kBlockHeaderSize && offset + head.capacity <= m_header.Length();
}

bool CGdbSource::WriteBlock(int64_t offset, int32_t capacity, const CShape& shape)
{
    const int parts = shape.GetPartCount();
    const int points = shape.GetPointCount();
    std::vector<unsigned char> bytes(static_cast<size_t>(BlockSize(parts, points)));
    unsigned char* p = bytes.data();
    PutLittleEndian<int32_t>(p + 4, capacity);
    PutLittleEndian<int32_t>(p + 16, parts);
    PutLittleEndian<int32_t>(p + 20, points);
    p += kBlockHeaderSize;
    for (int i = 0; i < parts; ++i, p += 4)
        PutLittleEndian<int32_t>(p, shape.GetPartSize(i));
    for (int i = 0; i < points; ++i, p += 16) {
        PutLittleEndian<double>(p, shape.GetPoint(i).x);
        PutLittleEndian<double>(p + 8, shape.GetPoint(i).y);
    }
    ForgetWindow();
    if (m_vec->Seek(offset) && m_vec->WriteExact(bytes.data(), bytes.size()))
        return true;
    AppMessageBox(1045);
    SetError(kWriteError);
    return false;
}

bool CGdbSource::WriteLink(int64_t offset, int32_t link)
{
    unsigned char bytes[4];
    PutLittleEndian<int32_t>(bytes, link);
    ForgetWindow();
    if (m_vec->Seek(offset) && m_vec->WriteExact(bytes, sizeof bytes))
        return true;
    AppMessageBox(1045);
    SetError(kWriteError);
    return false;
}

bool CGdbSource::AllocateBlock(int64_t need, int32_t start, int32_t prev, int32_t& offset, int32_t& capacity)
{
    const int64_t length = m_header.Length();
    // Every free block is at least a block header long: a longer walk is a loop.
    int64_t stepsLeft = length / kBlockHeaderSize + 1;
    for (int32_t block = start; block != 0;) {
        CBlockHead head;
        if (--stepsLeft < 0 || !ReadBlockHead(block, head)) {
            AppMessageBox(1030);
            SetError(kBadStructure);
            return false;
        }
        if (head.capacity >= need) {
            if (prev == 0)
                m_header.Set(96, head.link);
            else if (!WriteLink(prev, head.link))
                return false;
            offset = block;
            capacity = head.capacity;
            return true;
        }
        prev = block;
        block = head.link;
    }
    if (length + need > INT32_MAX) {
        AppMessageBox(1045);
        SetError(kWriteError);
        return false;
    }
    offset = static_cast<int32_t>(length);
    capacity = static_cast<int32_t>(need);
    m_header.Set(24, static_cast<int32_t>(length + need));
    m_header.Set(100, offset);
    return true;
}

bool CGdbSource::ShapeFitsFile(const CShape& shape, int64_t& need) const
{
    int64_t total = 0;
    for (uint32_t size : shape.PartSizes())
        total += size;
    need = BlockSize(shape.GetPartCount(), shape.GetPointCount());
    // Coordinates that are no numbers would make an object no reader takes.
    const CMapPointArray& points = shape.Points();
    return total == shape.GetPointCount() && need <= INT32_MAX - kHeaderSize &&
           std::all_of(points.begin(), points.end(), [](const CMapPoint& p) { return p.IsFinite(); });
}

// ---------------------------------------------------------------- reading

bool CGdbSource::QueryMissesExtent() const
{
    return HasQueryRect() && !BoxMeetsQuery(m_header.Extent());
}

bool CGdbSource::RequireLineOrArea()
{
    if (IsLineOrArea())
        return true;
    SetError(kWrongType);
    AppMessageBox(1034);
    return false;
}

CGdbSource::StepResult CGdbSource::StepNext(StepMode mode, CShape* shape, const CBoxProbe* probe)
{
    // The spatial filter tests shapes, wanted or not.
    if (IsLineOrArea() && HasSpatialFilter() && mode != kStepPoint) {
        mode = kStepShape;
        if (!shape)
            shape = &m_scratch;
    }
    for (;;) {
        if (HasStoppingError())
            return kStepFailed;
        int n = NextListedRecord();
        if (n == -1)
            return kStepEnd;
        const bool fileOrder = n == kFileOrder;
        if (fileOrder) {
            const int count = m_geo->RecordCount();
            for (n = -1; n < 0 && ScanNext() < count;) {
                const int k = ScanNext()++;
                m_geoRecord = -1;
                if (!DbfReadRecordAhead(*m_geo, k)) {
                    SetError(kReadError);
                    return kStepFailed;
                }
                m_geoRecord = k;
                if (!GeoRecordDeleted() && k != GetExcludedRecord())
                    n = k;
            }
            if (n < 0)
                return kStepEnd;
        } else {
            // Index hits ascend: the records read ahead serve them.
            if (n != m_geoRecord && !HasRecordList()) {
                m_geoRecord = -1;
                if (TakeFetchedRecord(n, mode == kStepShape))
                    m_geoRecord = n;
                else if (DbfReadRecordAhead(*m_geo, n, DbfHoldsRecord(*m_geo, n) ? -1 : IndexHitReach(n, m_geo->RecordLength())))
                    m_geoRecord = n;
            }
            if (!ReadGeoRecord(n)) {
                SetError(kReadError);
                return kStepFailed;
            }
            if (GeoRecordDeleted())
                continue;
        }
        // A malformed object is passed over: the table names the next.
        CMapRect box;
        if (mode == kStepPoint) {
            const CMapPoint point = GeoPoint();
            if (!point.IsFinite()) {
                ReportBadObject(kBadStructure);
                continue;
            }
            if (!PointInQuery(point))
                continue;
        } else {
            // A box that is no number meets no query; when none is set the
            // block reader (or the test below, for boxes alone) refuses it.
            box = GeoTestBox();
            if (!BoxMeetsQuery(box))
                continue;
            if (probe && !probe->Passes(box))
                continue;
            if (mode == kStepBox && !box.IsFinite()) {
                ReportBadObject(kBadStructure);
                continue;
            }
        }
        if (!PassesFilter(n, !HasRecordList())) {
            if (HasStoppingError())
                return kStepFailed;
            continue;
        }
        if (mode == kStepShape) {
            if (!TakeMeasuredShape(n, *shape)) {
                // The box read above: shapes are line and area objects.
                const int error = ReadBlock(GeoPtr(), *shape, box);
                if (error != kNoError) {
                    ReportBadObject(error);
                    continue;
                }
            }
            if (!PassesSpatialFilter(*shape))
                continue;
        } else if (!IsLineOrArea() && HasSpatialFilter() && !PassesSpatialFilter(GeoPoint())) {
            continue;
        }
        Current() = n;
        return kStepFound;
    }
}

bool CGdbSource::CanRead(bool typeServed)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (!typeServed)
        SetError(kWrongType);
    return typeServed;
}

bool CGdbSource::LoadGeoRecord(int n)
{
    if (ReadGeoRecord(n))
        return true;
    SetError(kReadError);
    return false;
}

bool CGdbSource::ReadPoint(int n, CMapPoint& point)
{
    if (!CanRead(m_coordField >= 0) || !LoadGeoRecord(n))
        return false;
    if (!GeoPoint().IsFinite()) {
        ReportBadObject(kBadStructure);
        return false;
    }
    point = GeoPoint();
    Current() = n;
    return true;
}

bool CGdbSource::ReadShape(int n, CShape& shape)
{
    if (!CanRead(true) || !RequireLineOrArea() || !LoadGeoRecord(n))
        return false;
    // A malformed object says so; the others read on.
    const int error = ReadBlock(GeoPtr(), shape, GeoBox());
    if (error != kNoError) {
        ReportBadObject(error);
        return false;
    }
    Current() = n;
    return true;
}

bool CGdbSource::ReadGeometry(int n, CShape& shape)
{
    return IsOpen() && IsLineOrArea() && ReadGeoRecord(n) && ReadBlock(GeoPtr(), shape, GeoBox()) == kNoError;
}

bool CGdbSource::ReadNextPoint(CMapPoint& point)
{
    if (!CanRead(m_coordField >= 0) || QueryMissesExtent() || StepNext(kStepPoint) != kStepFound)
        return false;
    point = GeoPoint();
    return true;
}

bool CGdbSource::ReadNextShape(CShape& shape)
{
    return CanRead(true) && RequireLineOrArea() && !QueryMissesExtent() &&
           StepNext(kStepShape, &shape) == kStepFound;
}

bool CGdbSource::ReadNextBox(CMapRect& box)
{
    if (!CanRead(true) || QueryMissesExtent())
        return false;
    if (StepNext(kStepBox) != kStepFound)
        return false;
    box = GeoTestBox();
    return true;
}

bool CGdbSource::ReadNextText(CGdbText& text)
{
    if (!CanRead(m_type == kText) || QueryMissesExtent() || StepNext(kStepBox) != kStepFound)
        return false;
    text.box = GeoBox();
    text.anchor = GeoPoint();
    text.text = TrimmedText(*m_geo, m_textField, kTextWidth);
    text.font = TrimmedText(*m_geo, m_fontField, kTextWidth);
    const auto* p = reinterpret_cast<const unsigned char*>(DbfFieldPtr(*m_geo, m_paramField));
    text.param0 = Get32(p);
    text.param4 = Get32(p + 4);
    for (int i = 0; i < 3; ++i)
        text.fontAttributes[i] = Get32(p + 8 + 4 * i);
    text.param21 = p[21];
    text.param22 = GetLittleEndian<int16_t>(p + 22);
    text.paramPoint = CMapPoint(GetLittleEndian<double>(p + 24), GetLittleEndian<double>(p + 32));
    text.param40 = GetLittleEndian<double>(p + 40);
    text.param56 = GetLittleEndian<double>(p + 56);
    text.param64 = GetLittleEndian<double>(p + 64);
    return true;
}

bool CGdbSource::GetRecordBox(int n, CMapRect& box)
{
    if (!CanRead(m_type == kPoint || m_rectField >= 0) || !LoadGeoRecord(n))
        return false;
    box = GeoTestBox();
    return true;
}

// ---------------------------------------------------------------- searches

bool CGdbSource::FindNearestVertex(const CMapPoint& point, CMapPoint& vertex)
{
    if (!CanRead(true))
        return false;
    if (m_type == kPoint)
        return FindNearestPointOf(point, vertex);
    return IsLineOrArea() && !QueryMissesExtent() && FindNearestShapeVertex(point, vertex);
}

bool CGdbSource::FindNearestLine(const CMapPoint& point, CRecordArray& records, double* distance)
{
    records.clear();
    if (!CanRead(true) || !IsLineOrArea() || QueryMissesExtent())
        return false;
    return FindNearestShapeLine(point, records, distance);
}

bool CGdbSource::FindAreasAt(const CMapPoint& point, CRecordArray& records)
{
    records.clear();
    if (!CanRead(true) || m_type != kArea || !BoxesMeet(CMapRect(point), m_header.Extent()) ||
        QueryMissesExtent())
        return false;
    Rewind();
    const CBoxProbe probe{CMapRect(point), false};
    CShape shape;
    for (;;) {
        const StepResult step = StepNext(kStepShape, &shape, &probe);
        if (step == kStepFailed)
            return false;
        if (step == kStepEnd)
            break;
        if (shape.PointInPolygon(point) != 0)
            records.push_back(GetCurrentRecord());
    }
    return !records.empty();
}

bool CGdbSource::SelectWithin(const CMapRect& rect, CRecordArray& records)
{
    records.clear();
    if (!CanRead(true) || !BoxesMeet(rect, m_header.Extent()) || QueryMissesExtent())
        return false;
    Rewind();
    const CBoxProbe probe{rect, true};
    // Lines and areas whose shapes do not read are no more selected than drawn.
    const StepMode mode = IsLineOrArea() ? kStepShape : kStepBox;
    for (;;) {
        const StepResult step = StepNext(mode, mode == kStepShape ? &m_scratch : nullptr, &probe);
        if (step == kStepFailed)
            return false;
        if (step == kStepEnd)
            break;
        records.push_back(GetCurrentRecord());
    }
    return !records.empty();
}

bool CGdbSource::SelectInRect(const CMapRect& rect, CRecordArray& records)
{
    return SelectWithin(rect, records);
}

// ---------------------------------------------------------------- writing

bool CGdbSource::AppendRecords()
{
    const int count = m_geo->RecordCount();
    m_geo->current = count;
    m_geo->flags = kDbfPastLast;
    if (!DbfWriteCurrent(*m_geo)) {
        m_geoRecord = -1;
        AppMessageBox(1045);
        SetError(kWriteError);
        return false;
    }
    m_geoRecord = m_geo->current;
    // The blank attribute record goes out at once either way, so the two
    // tables never differ in length; the caller may fill and write it again.
    m_table.AppendBlank();
    if (!m_table.WriteRecord()) {
        DbfTruncate(*m_geo, count);
        m_geoRecord = -1;
        SetError(kWriteError);
        return false;
    }
    ForgetIndexHits();
    return true;
}

bool CGdbSource::RequirePointLayer()
{
    if (!IsOpen())
        return false;
    if (m_type == kPoint)
        return true;
    SetError(kWrongType);
    return false;
}

bool CGdbSource::WriteExtentWith(const CMapRect& box)
{
    if (box.IsValid()) {
        CMapRect extent = m_header.Extent();
        extent.UnionRect(extent, box);
        m_header.SetExtent(extent);
    }
    return WriteHeader();
}

bool CGdbSource::WriteShapeBlock(int32_t offset, int32_t capacity, const CShape& shape, int32_t oldLength)
{
    if (WriteBlock(offset, capacity, shape) && WriteExtentWith(shape.GetExtent()))
        return true;
    // The file must keep the length its header gives.
    if (m_vec->Size() > oldLength)
        m_vec->Truncate(oldLength);
    return false;
}

bool CGdbSource::AppendPoint(const CMapPoint& point, bool writeAttributes)
{
    // A point that is no number would be an object no reader takes.
    if (!RequirePointLayer() || !point.IsFinite())
        return false;
    CWriteLock lock(*this);
    if (!lock || !WriteExtentWith(CMapRect(point)))
        return false;
    DbfAppendBlank(*m_geo);
    PutGeoPoint(point);
    return AppendRecords();
}

bool CGdbSource::ReplacePoint(const CMapPoint& point, int n)
{
    if (!RequirePointLayer() || !point.IsFinite())
        return false;
    CWriteLock lock(*this);
    if (!lock || !ReadGeoRecord(n) || !WriteExtentWith(CMapRect(point)))
        return false;
    PutGeoPoint(point);
    if (!WriteGeoRecord(n))
        return false;
    ForgetIndexHits();
    DropStaleIndex();
    return true;
}

bool CGdbSource::AppendShape(const CShape& shape, bool writeAttributes)
{
    int64_t need = 0;
    if (!IsOpen() || !RequireLineOrArea() || !ShapeFitsFile(shape, need))
        return false;
    CWriteLock lock(*this);
    if (!lock)
        return false;
    const int32_t oldLength = m_header.Length();
    int32_t offset = 0, capacity = 0;
    if (!AllocateBlock(need, m_header.FirstFree(), 0, offset, capacity))
        return false;
    if (!WriteShapeBlock(offset, capacity, shape, oldLength))
        return false;
    DbfAppendBlank(*m_geo);
    PutGeoBox(shape.GetExtent());
    PutGeoPtr(offset);
    return AppendRecords();
}

bool CGdbSource::ReplaceShape(const CShape& shape, int n)
{
    int64_t need = 0;
    if (!IsOpen() || !RequireLineOrArea() || !ShapeFitsFile(shape, need))
        return false;
    CWriteLock lock(*this);
    if (!lock || !LoadGeoRecord(n))
        return false;
    int32_t offset = GeoPtr();
    CBlockHead head;
    if (!ReadBlockHead(offset, head)) {
        SetError(kReadError);
        AppMessageBox(1028);
        return false;
    }
    int32_t capacity = head.capacity;
    const int32_t oldLength = m_header.Length();
    if (offset == m_header.LastBlock() && offset + capacity == m_header.Length()) {
        // The last block grows in place.
        if (need > capacity) {
            if (offset + need > INT32_MAX) {
                AppMessageBox(1045);
                SetError(kWriteError);
                return false;
            }
            capacity = static_cast<int32_t>(need);
            m_header.Set(24, offset + capacity);
        }
    } else if (need > capacity) {
        const int32_t firstFree = m_header.FirstFree();
        if (!WriteLink(offset, firstFree))
            return false;
        m_header.Set(96, offset);
        if (!AllocateBlock(need, firstFree, offset, offset, capacity))
            return false;
    }
    if (!WriteShapeBlock(offset, capacity, shape, oldLength))
        return false;
    PutGeoBox(shape.GetExtent());
    PutGeoPtr(offset);
    if (!WriteGeoRecord(n))
        return false;
    ForgetIndexHits();
    DropStaleIndex();
    return true;
}

bool CGdbSource::DeleteRecord(int n)
{
    if (!IsOpen())
        return false;
    m_geoRecord = -1;
    const bool geometry = DbfDeleteRecordAt(*m_geo, n);
    const bool attributes = m_table.DeleteRecordAt(n);
    return geometry && attributes;
}

// ---------------------------------------------------------------- packing

bool CGdbSource::CopyLiveRecords(CGdbSource& target)
{
    DbfHandle& geo = *m_geo;
    DbfHandle& attributes = *m_table.GetHandle();
    DbfHandle& targetGeo = *target.m_geo;
    DbfHandle& targetAttributes = *target.m_table.GetHandle();
    if (targetGeo.RecordLength() != geo.RecordLength() || !DbfLock(targetGeo) || !DbfLock(targetAttributes))
        return false;
    CMapRect extent;
    CShape shape;
    bool done = true;
    const int count = geo.RecordCount();
    for (int n = 0; done && n < count; ++n) {
        m_geoRecord = -1;
        if (!DbfReadRecordAhead(geo, n) || !m_table.ReadRecordAhead(n)) {
            SetError(kReadError);
            done = false;
            break;
        }
        m_geoRecord = n;
        if (geo.IsDeleted())
            continue;
        int32_t offset = 0;
        const int32_t ptr = m_ptrField >= 0 ? GeoPtr() : 0;
        const int error = ptr != 0 ? ReadBlock(ptr, shape, GeoBox()) : kNoError;
        // Texts are drawn without their blocks: one that does not read is dropped.
        if (error != kNoError && m_type != kText) {
            SetError(error);
            done = false;
            break;
        }
        if (ptr != 0 && error == kNoError) {
            int64_t need = 0;
            int32_t capacity = 0;
            done = target.ShapeFitsFile(shape, need) && target.AllocateBlock(need, 0, 0, offset, capacity) &&
                   target.WriteBlock(offset, capacity, shape);
            if (!done)
                break;
        }
        if (m_rectField >= 0) {
            if (GeoBox().IsValid())
                extent.UnionRect(extent, GeoBox());
        } else {
            extent.UnionPoint(GeoPoint());
        }
        DbfAppendBlank(targetGeo);
        std::memcpy(targetGeo.record.data(), geo.record.data(), static_cast<size_t>(geo.RecordLength()));
        if (target.m_ptrField >= 0)
            target.PutGeoPtr(offset);
        done = DbfWriteHere(targetGeo) && DbfAppendCopy(targetAttributes, attributes);
    }
    m_geoRecord = -1;
    done = DbfFlush(targetGeo) && DbfFlush(targetAttributes) && done;
    DbfUnlock(targetGeo);
    DbfUnlock(targetAttributes);
    if (!done)
        return false;
    target.m_header.SetExtent(extent);
    return target.WriteHeader();
}

bool CGdbSource::Pack()
{
    if (!IsOpen())
        return false;
    if (RefuseIfReadOnly(*m_vec) || DbfRefuseIfReadOnly(*m_geo) || DbfRefuseIfReadOnly(*m_table.GetHandle()))
        return false;
    CWaitCursor wait;
    const std::string tilde = MakeTildePath(m_path);
    const std::vector<CDbfFieldInfo> fields = GetFieldInfos();
    CGdbSource target;
    bool copied = false;
    {
        // Nobody appends while the live records are copied.
        CWriteLock lock(*this);
        if (!lock)
            return false;
        // The work copy takes this layer's own columns, wider or more ones included.
        copied = target.CreateFiles(tilde, m_type, DbfFieldList(*m_geo).data(), fields.data()) &&
                 CopyLiveRecords(target);
    }
    target.Close();

    // The files in the order they are replaced: the record-parallel pair last.
    const std::string dbfPath = m_table.GetPath();
    struct CReplacement {
        std::string from, to;
    };
    const std::string tildeDbf = ChangeExtensionCopy(tilde, "dbf");
    const std::vector<CReplacement> files = {
        {FindSiblingByExtension(tildeDbf, "FPT"), FindSiblingByExtension(dbfPath, "FPT")},
        {ChangeExtensionCopy(tilde, "vec"), FindSiblingByExtension(m_path, "vec")},
        {tilde, m_path},
        {tildeDbf, dbfPath},
    };
    const auto removeWorkCopies = [&]() {
        for (const CReplacement& file : files)
            if (PathExists(file.from))
                RemoveFile(file.from);
    };
    if (!copied) {
        removeWorkCopies();
        if (GetError() == kNoError)
            SetError(kWriteError);
        return false;
    }
    const std::string index = GetIndexPath();
    Close();
    int replaced = 0;
    for (const CReplacement& file : files) {
        if (!PathExists(file.from))
            continue; // a table without memo fields has no memo file
        if (!RenameFile(file.from, file.to)) {
            AppMessageBoxArg(1027, file.to);
            SetError(kWriteError);
            // With nothing replaced the layer stands as it was; else the
            // remaining work copies are what completes it.
            if (replaced == 0)
                removeWorkCopies();
            return false;
        }
        ++replaced;
    }
    // The index described the records before the pack.
    if (!index.empty() && PathExists(index))
        RemoveFile(index);
    return true;
}
