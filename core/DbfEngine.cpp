#include "core/DbfEngine.h"

#include "core/DateSerial.h"
#include "core/FileUtil.h"
#include "platform/ByteOrder.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/UserServices.h"
#include "platform/WriteBehindStream.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

constexpr int kDescriptorSize = 32;
constexpr char kEndMark = 0x1A;
constexpr char kHeaderEnd = 0x0D;
// The lengths of the header are signed 16-bit words.
constexpr int kMaxLength = 0x7FFF;
constexpr int kMaxFields = (kMaxLength - 33) / kDescriptorSize;
const DbfField* FieldAt(const DbfHandle& h, int index)
{
    return index >= 0 && index < h.FieldCount() ? &h.fields[static_cast<size_t>(index)] : nullptr;
}

std::string_view FieldBytes(const DbfHandle& h, const DbfField& f)
{
    return std::string_view(h.record.data() + f.offset, static_cast<size_t>(f.length));
}

// The raw text: the field's bytes up to a zero byte.
std::string_view RawText(const DbfHandle& h, int index)
{
    const DbfField* f = FieldAt(h, index);
    if (!f)
        return {};
    std::string_view bytes = FieldBytes(h, *f);
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

bool AllBlank(std::string_view bytes)
{
    return bytes.find_first_not_of(' ') == std::string_view::npos;
}

int64_t RecordOffset(const DbfHandle& h, int record)
{
    return h.HeaderLength() + int64_t(record) * h.RecordLength();
}

// Right-justified in the field; false when the text is wider than the field.
bool RightJustify(const DbfField& f, const std::string& text, std::string& out)
{
    if (static_cast<int>(text.size()) > f.length)
        return false;
    out.assign(static_cast<size_t>(f.length) - text.size(), ' ');
    out += text;
    return true;
}

// "%.*E" with the exponent written as a sign and three digits: 3.14159E+000.
std::string FormatExponent(double value, int decimals)
{
    std::string text = FormatC("%.*E", decimals, value);
    size_t e = text.find('E');
    if (e == std::string::npos || e + 2 >= text.size())
        return text;
    int exponent = AtoiC(std::string_view(text).substr(e + 2));
    return text.substr(0, e + 2) + FormatC("%03d", exponent);
}

// The stored text of a number: 'F' fields in exponent form with the field
// length - 7 decimals, others in fixed form with the field's decimals. A
// number too wide drops decimals until it fits, else the field is filled
// with '*' and the answer is false.
bool FormatNumber(const DbfField& f, double value, std::string& out)
{
    if (std::isfinite(value)) {
        int decimals = f.type == 'F' ? std::max(f.length - 7, 0) : f.decimals;
        for (; decimals >= 0; --decimals) {
            std::string text = f.type == 'F' ? FormatExponent(value, decimals) : FormatC("%.*f", decimals, value);
            if (RightJustify(f, text, out))
                return true;
        }
    }
    out.assign(static_cast<size_t>(f.length), '*');
    return false;
}

// Whole numbers: with the field's decimals when it has some.
bool FormatInteger(const DbfField& f, long value, std::string& out)
{
    if (f.decimals > 0)
        return FormatNumber(f, static_cast<double>(value), out);
    if (RightJustify(f, FormatC("%ld", value), out))
        return true;
    out.assign(static_cast<size_t>(f.length), '*');
    return false;
}

// Left-justified and blank-padded to the field length, cut at a zero byte
// and at the field length.
std::string PadText(const DbfField& f, std::string_view text)
{
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    std::string out(text.substr(0, static_cast<size_t>(f.length)));
    out.resize(static_cast<size_t>(f.length), ' ');
    return out;
}

void StoreBytes(DbfHandle& h, const DbfField& f, const std::string& bytes)
{
    std::memcpy(h.record.data() + f.offset, bytes.data(), static_cast<size_t>(f.length));
}

// Stores the text that format makes for the field into the record buffer.
// format answers whether the value fit; a number that did not is stored as
// the '*' that format made, as dBASE does, and the answer is false.
template <class Formatter>
bool PutFormatted(DbfHandle& h, int index, Formatter format)
{
    const DbfField* f = FieldAt(h, index);
    if (!f)
        return false;
    std::string text;
    const bool fits = format(*f, text);
    StoreBytes(h, *f, text);
    return fits;
}

bool TakeLock(DbfHandle& h, bool holdWrites);

// Write access for one operation: refuses a read-only table and holds the
// file lock until it goes, unless the caller already held it (its writes
// then wait for the caller's release).
class CWriteAccess {
public:
    explicit CWriteAccess(DbfHandle& h) : m_handle(h)
    {
        if (!h.stream || DbfRefuseIfReadOnly(h))
            return;
        const bool held = h.locked;
        m_granted = TakeLock(h, false);
        m_release = m_granted && !held;
    }
    ~CWriteAccess()
    {
        if (m_release)
            DbfUnlock(m_handle);
    }
    CWriteAccess(const CWriteAccess&) = delete;
    CWriteAccess& operator=(const CWriteAccess&) = delete;

    explicit operator bool() const { return m_granted; }

private:
    DbfHandle& m_handle;
    bool m_granted = false;
    bool m_release = false;
};

bool WriteAt(DbfHandle& h, int64_t offset, const void* bytes, size_t count)
{
    h.readAhead.clear();
    return h.stream->Seek(offset) && h.stream->WriteExact(bytes, count);
}

// Writes the record buffer as the current record; appending at the end.
bool WriteCurrentRecord(DbfHandle& h, bool finish)
{
    // A new record goes to the end as the file has it once the lock is
    // held: another program may have appended since.
    const bool append = (h.flags & kDbfPastLast) || h.current == h.RecordCount();
    CWriteAccess access(h);
    if (!access)
        return false;
    const int count = h.RecordCount();
    if (append)
        h.current = count;
    if (h.current < 0 || h.current > count || (h.current == count && count == INT_MAX))
        return false;
    const int64_t offset = RecordOffset(h, h.current);
    if (!WriteAt(h, offset, h.record.data(), static_cast<size_t>(h.RecordLength())))
        return false;
    if (h.current == count) {
        if (finish && !h.stream->WriteExact(&kEndMark, 1))
            return false;
        h.SetRecordCount(count + 1);
        h.flags = 0;
        h.headerPending = h.headerPending || !finish;
    }
    if (finish && !DbfWriteHeader(h)) {
        h.SetRecordCount(count);
        return false;
    }
    return h.stream->Seek(offset);
}

// Writes field bytes of record n straight into the file.
bool WriteFieldBytes(DbfHandle& h, int record, int index, const std::string& bytes)
{
    const DbfField* f = FieldAt(h, index);
    if (!f)
        return false;
    CWriteAccess access(h);
    if (!access || record < 0 || record > h.RecordCount())
        return false;
    return WriteAt(h, RecordOffset(h, record) + f->offset, bytes.data(), static_cast<size_t>(f->length));
}

// The same straight into one field of record n in the file.
template <class Formatter>
bool WriteFormatted(DbfHandle& h, int record, int index, Formatter format)
{
    const DbfField* f = FieldAt(h, index);
    if (!f)
        return false;
    std::string text;
    const bool fits = format(*f, text);
    return WriteFieldBytes(h, record, index, text) && fits;
}

// A memo text stored under the table's lock, so two programs never take the
// same free block.
bool WriteMemo(DbfHandle& h, uint32_t& block, std::string_view text)
{
    if (!h.memo)
        return false;
    CWriteAccess access(h);
    if (!access || RefuseIfReadOnly(*h.memo->stream))
        return false;
    return MemoWrite(*h.memo, block, text) == 0;
}

// The block number a memo field names; 0 for none or a number no block can have.
uint32_t FieldBlock(const DbfHandle& h, int index)
{
    long long block = AtollC(RawText(h, index));
    return block > 0 && block <= UINT32_MAX ? static_cast<uint32_t>(block) : 0;
}

std::string BlockNumberText(const DbfField& f, uint32_t block)
{
    std::string text(static_cast<size_t>(f.length), ' ');
    if (block != 0)
        FormatInteger(f, static_cast<long>(block), text);
    return text;
}

bool DigitAt(std::string_view text, size_t i)
{
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// Reads at most maxDigits digits as a whole number; used gets their count.
double ReadDigits(std::string_view text, size_t& i, int maxDigits, int& used)
{
    double value = 0;
    for (used = 0; used < maxDigits && DigitAt(text, i); ++used, ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

// The 32-byte header and then the file's size; false when the header does
// not make a table (the lengths) or promises a header the file lacks.
bool ReadHeader(CStream& stream, DbfHandle& h, int64_t& size)
{
    if (!stream.Seek(0) || !stream.ReadExact(h.header, sizeof h.header))
        return false;
    size = stream.Size();
    const int headerLength = h.HeaderLength();
    return headerLength >= 33 && headerLength <= size && h.RecordLength() >= 1 && h.RecordCount() >= 0;
}

// Every record the header counts lies in the file.
bool RecordsFit(const DbfHandle& h, int64_t size)
{
    return h.HeaderLength() + int64_t(h.RecordCount()) * h.RecordLength() <= size;
}

std::unique_ptr<DbfHandle> Fail(DbfError* error, DbfError why)
{
    if (error)
        *error = why;
    return nullptr;
}

// The fields of a header; false when they do not fit a table. A field of
// width 0 holds nothing and is passed over.
bool ReadFields(DbfHandle& h, const unsigned char* descriptors, int count)
{
    int offset = 1;
    for (int i = 0; i < count; ++i) {
        const unsigned char* d = descriptors + i * kDescriptorSize;
        if (d[0] == kHeaderEnd)
            break; // the header ends before its length says
        DbfField f;
        std::memcpy(f.name, d, 10);
        f.type = d[11] == 'P' ? 'C' : static_cast<char>(d[11]);
        f.length = d[16];
        f.decimals = d[17];
        f.offset = offset;
        if (f.length == 0)
            continue;
        if (offset + f.length > h.RecordLength())
            return false;
        offset += f.length;
        h.fields.push_back(f);
    }
    return true;
}

} // namespace

// ------------------------------------------------------------------ handle

int DbfHandle::RecordCount() const
{
    return GetLittleEndian<int32_t>(header + 4);
}

int DbfHandle::HeaderLength() const
{
    return GetLittleEndian<int16_t>(header + 8);
}

int DbfHandle::RecordLength() const
{
    return GetLittleEndian<int16_t>(header + 10);
}

void DbfHandle::SetRecordCount(int count)
{
    PutLittleEndian<uint32_t>(header + 4, static_cast<uint32_t>(count));
}

// ------------------------------------------------------- opening, closing

std::unique_ptr<DbfHandle> DbfOpenStream(std::unique_ptr<CStream> stream, std::unique_ptr<CStream> memo,
                                         std::string path, DbfError* error)
{
    if (!stream)
        return Fail(error, DbfError::CannotOpen);
    auto h = std::make_unique<DbfHandle>();
    // The header before the size: writers extend the file before its
    // header counts the new record, so what the header counts is there.
    int64_t size = 0;
    if (!ReadHeader(*stream, *h, size))
        return Fail(error, DbfError::BadStructure);
    if (!RecordsFit(*h, size)) {
        // A writer of another program may be at work: asked once more
        // while none is. Still more than the file holds: it was cut short.
        if (LockFileBriefly(*stream)) {
            const bool read = ReadHeader(*stream, *h, size);
            UnlockFileForWrite(*stream);
            if (!read)
                return Fail(error, DbfError::BadStructure);
        }
        if (!RecordsFit(*h, size))
            DbfMarkDamaged(*h, static_cast<int>((size - h->HeaderLength()) / h->RecordLength()));
    }
    const int headerLength = h->HeaderLength();
    const int recordLength = h->RecordLength();
    if (!stream->Seek(sizeof h->header))
        return Fail(error, DbfError::BadStructure);

    const int fieldCount = (headerLength - 33) / kDescriptorSize;
    std::vector<unsigned char> descriptors(static_cast<size_t>(fieldCount) * kDescriptorSize);
    if ((fieldCount > 0 && !stream->ReadExact(descriptors.data(), descriptors.size())) ||
        !ReadFields(*h, descriptors.data(), fieldCount))
        return Fail(error, DbfError::BadStructure);

    h->record.assign(static_cast<size_t>(recordLength) + 1, ' ');
    h->record.back() = '\0';
    h->path = std::move(path);
    h->stream = std::move(stream);
    if (h->Version() == kDbfVersionMemo && memo)
        h->memo = MemoOpenStream(std::move(memo));
    DbfGoTop(*h);
    if (error)
        *error = DbfError::None;
    return h;
}

std::unique_ptr<DbfHandle> DbfOpen(const std::string& path, DbfError* error)
{
    const FileRetryPolicy& policy = GetFileRetryPolicy();
    std::unique_ptr<CStream> stream;
    for (int attempt = 0;; ++attempt) {
        int refusal = 0;
        stream = CFileStream::Open(path, FileMode::ReadWrite);
        if (!stream)
            stream = CFileStream::Open(path, FileMode::Read, &refusal);
        // Another program may hold the file for a moment; anything else
        // (missing, a folder, unreadable) fails at once.
        if (stream || attempt >= policy.openRetries || !IsSharingRefusal(refusal))
            break;
        std::this_thread::sleep_for(policy.openWait);
    }
    if (!stream)
        return Fail(error, DbfError::CannotOpen);
    auto h = DbfOpenStream(std::make_unique<CWriteBehindStream>(std::move(stream)), nullptr, path, error);
    if (h && h->Version() == kDbfVersionMemo)
        h->memo = MemoOpen(FindSiblingByExtension(path, "FPT"));
    return h;
}

std::unique_ptr<DbfHandle> DbfNewFromFields(const CDbfFieldInfo* fields)
{
    if (!fields)
        return nullptr;
    auto h = std::make_unique<DbfHandle>();
    bool hasMemo = false;
    int offset = 1;
    for (const CDbfFieldInfo* info = fields; info->length != 0; ++info) {
        DbfField f;
        std::memcpy(f.name, info->name, 10);
        f.type = info->type;
        f.length = info->length;
        f.decimals = info->decimals;
        f.offset = offset;
        offset += f.length;
        if (f.name[0] == '\0' || h->FieldCount() >= kMaxFields || offset > kMaxLength)
            return nullptr;
        hasMemo = hasMemo || f.type == 'M';
        h->fields.push_back(f);
    }
    const CCalendarDate today = LocalToday();
    h->header[0] = hasMemo ? kDbfVersionMemo : kDbfVersionPlain;
    h->header[1] = static_cast<unsigned char>(today.year - 1900);
    h->header[2] = static_cast<unsigned char>(today.month);
    h->header[3] = static_cast<unsigned char>(today.day);
    PutLittleEndian<uint16_t>(h->header + 8, static_cast<uint16_t>(kDescriptorSize * (h->FieldCount() + 1) + 1));
    PutLittleEndian<uint16_t>(h->header + 10, static_cast<uint16_t>(offset));
    h->record.assign(static_cast<size_t>(offset) + 1, ' ');
    h->record.back() = '\0';
    return h;
}

std::unique_ptr<DbfHandle> DbfCreateStream(std::unique_ptr<CStream> stream, std::unique_ptr<CStream> memoStream,
                                           const CDbfFieldInfo* fields, std::string path)
{
    auto h = DbfNewFromFields(fields);
    if (!h || !stream)
        return nullptr;
    std::vector<unsigned char> bytes(h->header, h->header + sizeof h->header);
    for (const DbfField& f : h->fields) {
        unsigned char d[kDescriptorSize] = {};
        std::memcpy(d, f.name, 10);
        d[11] = static_cast<unsigned char>(f.type);
        PutLittleEndian<uint32_t>(d + 12, static_cast<uint32_t>(f.offset));
        d[16] = static_cast<unsigned char>(f.length);
        d[17] = static_cast<unsigned char>(f.decimals);
        bytes.insert(bytes.end(), d, d + sizeof d);
    }
    bytes.push_back(kHeaderEnd);
    if (!stream->Truncate(0) || !stream->Seek(0) || !stream->WriteExact(bytes.data(), bytes.size()) ||
        !stream->Flush())
        return nullptr;
    if (h->Version() == kDbfVersionMemo) {
        if (!memoStream)
            return nullptr;
        h->memo = std::make_unique<DbfMemoFile>();
        h->memo->stream = std::move(memoStream);
        if (!path.empty())
            h->memo->path = FindSiblingByExtension(path, "FPT");
        if (!MemoReset(*h->memo, kDbfMemoDefaultBlockSize))
            return nullptr;
    }
    h->stream = std::move(stream);
    h->path = std::move(path);
    DbfGoTop(*h);
    return h;
}

std::unique_ptr<DbfHandle> DbfCreate(const std::string& path, const CDbfFieldInfo* fields)
{
    // A list that makes no table must not cost an existing file.
    auto check = DbfNewFromFields(fields);
    if (!check)
        return nullptr;
    std::unique_ptr<CStream> stream = CFileStream::Open(path, FileMode::CreateAlways);
    if (!stream)
        return nullptr;
    std::unique_ptr<CStream> memoStream;
    std::string memoPath;
    if (check->Version() == kDbfVersionMemo) {
        memoPath = FindSiblingByExtension(path, "FPT");
        memoStream = CFileStream::Open(memoPath, FileMode::CreateAlways);
    }
    auto h = DbfCreateStream(std::make_unique<CWriteBehindStream>(std::move(stream)), std::move(memoStream), fields,
                             path);
    if (!h) {
        RemoveFile(path);
        if (!memoPath.empty())
            RemoveFile(memoPath);
    }
    return h;
}

std::vector<CDbfFieldInfo> DbfFieldList(const DbfHandle& handle)
{
    std::vector<CDbfFieldInfo> list(handle.fields.size() + 1);
    for (size_t i = 0; i < handle.fields.size(); ++i) {
        const DbfField& f = handle.fields[i];
        list[i].Set(f.name, f.type, static_cast<unsigned>(f.length), static_cast<unsigned>(f.decimals));
    }
    list.back().Set("", 0, 0, 0);
    return list;
}

std::unique_ptr<DbfHandle> DbfCreateLike(const DbfHandle& like, const std::string& path)
{
    return DbfCreate(path, DbfFieldList(like).data());
}

void DbfClose(std::unique_ptr<DbfHandle>& handle)
{
    if (handle) {
        DbfUnlock(*handle);
        MemoClose(handle->memo);
    }
    handle.reset();
}

// ------------------------------------------------------------------ moving

void DbfGoTop(DbfHandle& handle)
{
    handle.readAhead.clear();
    handle.current = 0;
    handle.flags = 0;
}

void DbfGoBottom(DbfHandle& handle)
{
    handle.readAhead.clear();
    handle.current = handle.RecordCount() - 1;
    handle.flags = 0;
}

bool DbfGoTo(DbfHandle& handle, int record)
{
    handle.readAhead.clear();
    if (record < 0 || record >= handle.RecordCount())
        return false;
    handle.current = record;
    handle.flags = 0;
    return true;
}

bool DbfSkip(DbfHandle& handle, int count)
{
    handle.readAhead.clear();
    // A move that succeeds leaves only the flag of the end it reached.
    const int64_t target = int64_t(handle.current) + count;
    if (count <= 0) {
        if (handle.flags & kDbfBeforeFirst)
            return false;
        handle.current = static_cast<int>(std::max<int64_t>(target, 0));
        handle.flags = target < 0 ? kDbfBeforeFirst : 0;
    } else {
        if (handle.flags & kDbfPastLast)
            return false;
        const int records = handle.RecordCount();
        handle.current = static_cast<int>(std::min<int64_t>(target, records));
        handle.flags = target >= records ? kDbfPastLast : 0;
    }
    return true;
}

// ----------------------------------------------------------------- reading

bool DbfReadRecord(DbfHandle& handle, int record)
{
    handle.readAhead.clear();
    if (!handle.stream || record < 0 || record >= handle.RecordCount())
        return false;
    if (!handle.stream->Seek(RecordOffset(handle, record)) ||
        !handle.stream->ReadExact(handle.record.data(), static_cast<size_t>(handle.RecordLength())))
        return false;
    handle.current = record;
    return true;
}

bool DbfReread(DbfHandle& handle)
{
    return DbfReadRecord(handle, handle.current);
}

namespace {

bool ReadNextReaching(DbfHandle& handle, int reach)
{
    const int count = handle.RecordCount();
    if (!handle.stream || handle.current < 0 || handle.current >= count)
        return false;
    const int64_t length = handle.RecordLength();
    const int64_t offset = RecordOffset(handle, handle.current);
    std::vector<char>& ahead = handle.readAhead;
    if (offset < handle.readAheadOffset || offset + length > handle.readAheadOffset + int64_t(ahead.size())) {
        const int64_t records =
            reach >= handle.current
                ? int64_t(std::min(reach, count - 1)) - handle.current + 1
                : std::min(handle.readAheadSize.Want(offset, length, handle.readAheadOffset,
                                                     handle.readAheadOffset + int64_t(ahead.size())) /
                               length,
                           int64_t(count - handle.current));
        const int64_t want = std::max<int64_t>(records, 1) * length;
        ahead.resize(static_cast<size_t>(want));
        const size_t got = handle.stream->Seek(offset) ? handle.stream->Read(ahead.data(), ahead.size()) : 0;
        ahead.resize(got);
        handle.readAheadOffset = offset;
        if (int64_t(got) < length) {
            ahead.clear();
            return false;
        }
    }
    std::memcpy(handle.record.data(), ahead.data() + (offset - handle.readAheadOffset), static_cast<size_t>(length));
    ++handle.current;
    return true;
}

} // namespace

bool DbfReadNext(DbfHandle& handle)
{
    return ReadNextReaching(handle, -1);
}

bool DbfHoldsRecord(const DbfHandle& handle, int record)
{
    if (record < 0 || record >= handle.RecordCount())
        return false;
    const int64_t offset = RecordOffset(handle, record);
    return offset >= handle.readAheadOffset &&
           offset + handle.RecordLength() <= handle.readAheadOffset + int64_t(handle.readAhead.size());
}

bool DbfReadNextUndeleted(DbfHandle& handle)
{
    while (DbfReadNext(handle))
        if (!handle.IsDeleted())
            return true;
    return false;
}

int64_t DbfRecordOffset(const DbfHandle& handle, int record)
{
    return RecordOffset(handle, record);
}

bool DbfPutRecordRead(DbfHandle& handle, int record, const void* bytes)
{
    if (record < 0 || record >= handle.RecordCount())
        return false;
    std::memcpy(handle.record.data(), bytes, static_cast<size_t>(handle.RecordLength()));
    handle.current = record + 1;
    handle.flags = 0;
    return true;
}

bool DbfReadRecordAhead(DbfHandle& handle, int record, int reach)
{
    if (record < 0 || record >= handle.RecordCount())
        return false;
    handle.current = record; // not DbfGoTo: the records read ahead stay
    handle.flags = 0;
    return ReadNextReaching(handle, reach);
}

bool DbfRefreshHeader(DbfHandle& handle)
{
    if (!handle.stream || handle.damaged)
        return true;
    handle.readAhead.clear();
    unsigned char header[sizeof handle.header];
    if (!handle.stream->Seek(0) || !handle.stream->ReadExact(header, sizeof header))
        return false;
    const int count = GetLittleEndian<int32_t>(header + 4);
    if (GetLittleEndian<int16_t>(header + 8) != handle.HeaderLength() ||
        GetLittleEndian<int16_t>(header + 10) != handle.RecordLength() || count < 0 ||
        handle.HeaderLength() + int64_t(count) * handle.RecordLength() > handle.stream->Size())
        return false;
    std::memcpy(handle.header, header, sizeof header);
    return true;
}

void DbfMarkDamaged(DbfHandle& handle, int count)
{
    handle.damaged = true;
    handle.readAhead.clear();
    if (count < handle.RecordCount())
        handle.SetRecordCount(std::max(count, 0));
}

bool DbfRefuseIfReadOnly(const DbfHandle& handle)
{
    if (handle.stream && RefuseIfReadOnly(*handle.stream))
        return true;
    if (!handle.damaged)
        return false;
    AppMessageBox(1044, MB_OK | MB_ICONWARNING);
    return true;
}

// ------------------------------------------------------------ field access

int DbfFindField(const DbfHandle& handle, std::string_view name)
{
    for (int i = 0; i < handle.FieldCount(); ++i)
        if (EqualsNoCase1257(handle.fields[static_cast<size_t>(i)].name, name))
            return i;
    return -1;
}

char* DbfFieldPtr(DbfHandle& handle, int index)
{
    const DbfField* f = FieldAt(handle, index);
    return f ? handle.record.data() + f->offset : nullptr;
}

int DbfCopyFieldText(const DbfHandle& handle, int index, std::string& text)
{
    text.assign(RawText(handle, index));
    return static_cast<int>(text.size());
}

std::string DbfGetString(const DbfHandle& handle, int index)
{
    return std::string(RawText(handle, index));
}

double DbfGetDouble(const DbfHandle& handle, int index)
{
    return AtofC(RawText(handle, index));
}

long DbfGetLong(const DbfHandle& handle, int index)
{
    return static_cast<long>(AtollC(RawText(handle, index)));
}

int DbfGetInt(const DbfHandle& handle, int index)
{
    return AtoiC(RawText(handle, index));
}

char DbfGetChar(const DbfHandle& handle, int index)
{
    const DbfField* f = FieldAt(handle, index);
    return f ? handle.record[static_cast<size_t>(f->offset)] : '\0';
}

bool DbfIsBlank(const DbfHandle& handle, int index)
{
    const DbfField* f = FieldAt(handle, index);
    return !f || AllBlank(FieldBytes(handle, *f));
}

int DbfFieldText(const DbfHandle& handle, int index, std::string& text)
{
    const DbfField* f = FieldAt(handle, index);
    std::string_view raw = RawText(handle, index);
    if (!f) {
        text.clear();
    } else if (f->type == 'M') {
        text = FieldBlock(handle, index) >= 1 ? "<Memo>" : "<memo>";
    } else if (f->type == 'D' && raw.size() >= 8 && !AllBlank(raw)) {
        text = std::string(raw.substr(2, 2)) + "-" + std::string(raw.substr(4, 2)) + "-" +
               std::string(raw.substr(6, 2));
    } else if (f->type == 'F' && !AllBlank(raw)) {
        text = FormatC("%*.*f", f->length, f->decimals, AtofC(raw));
    } else {
        text.assign(raw);
    }
    return static_cast<int>(text.size());
}

std::string DbfGetDisplayText(const DbfHandle& handle, int index)
{
    std::string text;
    DbfFieldText(handle, index, text);
    return text;
}

double ParseDegreesText(std::string_view text)
{
    // Coordinates have a few digits; longer runs must not overflow, and
    // digits past the precision of a double add nothing.
    constexpr int kMaxDigits = 15;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    int used = 0;
    double degrees = ReadDigits(text, i, kMaxDigits, used);
    if (i < text.size()) {
        const char c = text[i];
        if (c == '.') {
            ++i;
            const double fraction = ReadDigits(text, i, kMaxDigits, used);
            degrees += fraction / std::pow(10.0, used);
        } else if (c == 'N' || c == 'E' || c == 'S' || c == 'W') {
            negative = negative || c == 'S' || c == 'W';
            ++i;
            degrees += ReadDigits(text, i, 2, used) / 60;
            if (DigitAt(text, i)) {
                degrees += AtofC(text.substr(i)) / 3600;
            } else if (i < text.size() && text[i] == '.') {
                ++i;
                const double decimal = ReadDigits(text, i, kMaxDigits, used);
                degrees += decimal / (std::pow(10.0, used) * 60);
            }
        }
    }
    return negative ? -degrees : degrees;
}

double DbfGetDegrees(const DbfHandle& handle, int index)
{
    const DbfField* f = FieldAt(handle, index);
    if (!f)
        return 0;
    if (f->type == 'C')
        return ParseDegreesText(RawText(handle, index));
    if (f->type == 'F' || f->type == 'N')
        return AtofC(RawText(handle, index));
    return 0;
}

// ----------------------------------------------------------------- storing

bool DbfPutString(DbfHandle& handle, int index, std::string_view text)
{
    return PutFormatted(handle, index, [&](const DbfField& f, std::string& out) {
        out = PadText(f, text);
        return true;
    });
}

bool DbfPutDouble(DbfHandle& handle, int index, double value)
{
    return PutFormatted(handle, index,
                        [&](const DbfField& f, std::string& out) { return FormatNumber(f, value, out); });
}

bool DbfNumberText(const DbfHandle& handle, int index, double value, std::string& text)
{
    const DbfField* f = FieldAt(handle, index);
    text.clear();
    return f && FormatNumber(*f, value, text);
}

bool DbfPutLong(DbfHandle& handle, int index, long value)
{
    return PutFormatted(handle, index,
                        [&](const DbfField& f, std::string& out) { return FormatInteger(f, value, out); });
}

bool DbfPutBlockNumber(DbfHandle& handle, int index, long block)
{
    if (block == 0)
        return DbfPutString(handle, index, {});
    return DbfPutLong(handle, index, block);
}

bool DbfPutMemo(DbfHandle& handle, int index, std::string_view text)
{
    const DbfField* f = FieldAt(handle, index);
    uint32_t block = FieldBlock(handle, index);
    if (!f || !WriteMemo(handle, block, text))
        return false;
    return DbfPutBlockNumber(handle, index, static_cast<long>(block));
}

bool DbfCopyField(DbfHandle& target, const DbfHandle& source, int targetIndex, int sourceIndex)
{
    const DbfField* to = FieldAt(target, targetIndex);
    const DbfField* from = FieldAt(source, sourceIndex);
    if (!to || !from)
        return false;
    const std::string_view raw = RawText(source, sourceIndex);

    if (from->type == 'M' && to->type == 'C') {
        std::string text;
        DbfReadMemo(source, sourceIndex, text);
        return DbfPutString(target, targetIndex, text);
    }
    if (from->type == to->type && from->length == to->length && from->decimals == to->decimals &&
        to->type != 'M') {
        std::memcpy(target.record.data() + to->offset, source.record.data() + from->offset,
                    static_cast<size_t>(to->length));
        return true;
    }
    switch (to->type) {
    case 'C':
    case 'P': {
        std::string bytes(FieldBytes(source, *from).substr(0, static_cast<size_t>(to->length)));
        bytes.resize(static_cast<size_t>(to->length), ' ');
        StoreBytes(target, *to, bytes);
        return true;
    }
    case 'F':
    case 'N': {
        size_t consumed = 0;
        const double value = ParseDoubleC(raw, &consumed);
        return consumed == 0 || DbfPutDouble(target, targetIndex, value);
    }
    case 'L': {
        char& letter = target.record[static_cast<size_t>(to->offset)];
        switch (raw.empty() ? '\0' : raw[0]) {
        case 'F': case 'N': case 'f': case 'n':
            letter = 'F';
            break;
        case 'T': case 'Y': case 't': case 'y':
            letter = 'T';
            break;
        default:
            break; // no logical value: the target stays as it was
        }
        return true;
    }
    case 'M': {
        std::string text;
        if (from->type == 'M')
            DbfReadMemo(source, sourceIndex, text);
        else
            text.assign(raw);
        // A new block: the target must not share the source's blocks.
        uint32_t block = 0;
        if (!text.empty() && !WriteMemo(target, block, text))
            return false;
        return DbfPutBlockNumber(target, targetIndex, static_cast<long>(block));
    }
    default:
        return true;
    }
}

void DbfCopyMatchingFields(DbfHandle& target, const DbfHandle& source)
{
    for (int i = 0; i < source.FieldCount(); ++i) {
        int t = DbfFindField(target, source.fields[static_cast<size_t>(i)].name);
        if (t >= 0)
            DbfCopyField(target, source, t, i);
    }
}

// ----------------------------------------------------------------- writing

bool DbfWriteRecord(DbfHandle& handle)
{
    return WriteCurrentRecord(handle, true);
}

bool DbfWriteCurrent(DbfHandle& handle)
{
    return WriteCurrentRecord(handle, true);
}

bool DbfWriteHere(DbfHandle& handle)
{
    return WriteCurrentRecord(handle, false);
}

bool DbfFlush(DbfHandle& handle)
{
    CWriteAccess access(handle);
    if (!access)
        return false;
    return WriteAt(handle, RecordOffset(handle, handle.RecordCount()), &kEndMark, 1) && DbfWriteHeader(handle);
}

bool DbfWriteHeader(DbfHandle& handle)
{
    // The count of a damaged table is what could be read, not what the file claims.
    if (!handle.stream || handle.damaged || !WriteAt(handle, 0, handle.header, sizeof handle.header))
        return false;
    handle.headerPending = false;
    return true;
}

void DbfAppendBlank(DbfHandle& handle)
{
    handle.current = handle.RecordCount();
    handle.flags = kDbfPastLast;
    std::fill(handle.record.begin(), handle.record.end() - 1, ' ');
}

bool DbfDeleteCurrent(DbfHandle& handle)
{
    if (!DbfReread(handle))
        return false;
    handle.record[0] = '*';
    return DbfWriteCurrent(handle);
}

bool DbfDeleteRecordAt(DbfHandle& handle, int record)
{
    CWriteAccess access(handle);
    if (!access || record < 0 || record >= handle.RecordCount())
        return false;
    const char mark = '*';
    return WriteAt(handle, RecordOffset(handle, record), &mark, 1);
}

bool DbfZap(DbfHandle& handle)
{
    CWriteAccess access(handle);
    if (!access)
        return false;
    const int count = handle.RecordCount();
    handle.SetRecordCount(0);
    if (!DbfWriteHeader(handle)) {
        handle.SetRecordCount(count);
        return false;
    }
    DbfGoTop(handle);
    if (!handle.stream->Truncate(handle.HeaderLength()) ||
        !WriteAt(handle, handle.HeaderLength(), &kEndMark, 1))
        return false;
    if (handle.Version() != kDbfVersionMemo)
        return true;
    if (!handle.memo) {
        if (handle.path.empty())
            return true; // a table from a stream: no memo file to make
        handle.memo = MemoCreate(FindSiblingByExtension(handle.path, "FPT"), kDbfMemoDefaultBlockSize);
        return handle.memo != nullptr;
    }
    return !RefuseIfReadOnly(*handle.memo->stream) && MemoReset(*handle.memo, kDbfMemoDefaultBlockSize);
}

bool DbfTruncate(DbfHandle& handle, int count)
{
    CWriteAccess access(handle);
    const int records = handle.RecordCount();
    if (!access || count < 0 || count > records)
        return false;
    handle.SetRecordCount(count);
    if (!DbfWriteHeader(handle)) {
        handle.SetRecordCount(records);
        return false;
    }
    DbfGoTop(handle);
    const int64_t end = RecordOffset(handle, count);
    return handle.stream->Truncate(end) && WriteAt(handle, end, &kEndMark, 1);
}

bool DbfAppendCopy(DbfHandle& target, const DbfHandle& source)
{
    if (target.RecordLength() != source.RecordLength() || target.FieldCount() != source.FieldCount())
        return false;
    CWriteAccess access(target);
    if (!access)
        return false;
    DbfAppendBlank(target);
    std::memcpy(target.record.data(), source.record.data(), static_cast<size_t>(target.RecordLength()));
    for (int i = 0; i < target.FieldCount(); ++i) {
        if (target.fields[static_cast<size_t>(i)].type != 'M')
            continue;
        // The source's block numbers mean nothing in the target's memo file.
        DbfPutString(target, i, {});
        if (!DbfCopyField(target, source, i, i))
            return false;
    }
    return DbfWriteHere(target);
}

bool DbfWriteFieldString(DbfHandle& handle, int record, int index, std::string_view text)
{
    return WriteFormatted(handle, record, index, [&](const DbfField& f, std::string& out) {
        out = PadText(f, text);
        return true;
    });
}

bool DbfWriteFieldLong(DbfHandle& handle, int record, int index, long value)
{
    return WriteFormatted(handle, record, index,
                          [&](const DbfField& f, std::string& out) { return FormatInteger(f, value, out); });
}

bool DbfWriteFieldDouble(DbfHandle& handle, int record, int index, double value)
{
    return WriteFormatted(handle, record, index,
                          [&](const DbfField& f, std::string& out) { return FormatNumber(f, value, out); });
}

bool DbfWriteMemoAt(DbfHandle& handle, int record, int index, std::string_view text)
{
    const DbfField* f = FieldAt(handle, index);
    if (!f)
        return false;
    CWriteAccess access(handle);
    if (!access || record < 0 || record > handle.RecordCount())
        return false;
    uint32_t block = FieldBlock(handle, index);
    return WriteMemo(handle, block, text) && WriteFieldBytes(handle, record, index, BlockNumberText(*f, block));
}

namespace {

bool TakeLock(DbfHandle& handle, bool holdWrites)
{
    if (handle.locked)
        return true;
    if (!handle.stream)
        return false;
    handle.locked = LockFileForWrite(*handle.stream);
    if (!handle.locked)
        return false;
    // What other programs appended is counted before anything is written;
    // appends of this handle that the header does not count yet stand.
    if (!handle.headerPending && !DbfRefreshHeader(handle)) {
        DbfUnlock(handle);
        AppMessageBox(1030, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (holdWrites)
        handle.stream->HoldWrites();
    return true;
}

} // namespace

bool DbfLock(DbfHandle& handle)
{
    return TakeLock(handle, true);
}

bool DbfUnlock(DbfHandle& handle)
{
    if (!handle.locked)
        return true;
    const bool written = DbfSendWrites(handle);
    handle.stream->ReleaseWrites();
    if (!UnlockFileForWrite(*handle.stream))
        return false;
    handle.locked = false;
    return written;
}

namespace {

// Writes were lost: the file's count holds.
void CountWhatTheFileHas(DbfHandle& handle)
{
    handle.readAhead.clear();
    handle.headerPending = false;
    DbfRefreshHeader(handle);
}

} // namespace

bool DbfSendWrites(DbfHandle& handle)
{
    if (!handle.stream || handle.stream->Flush())
        return true;
    CountWhatTheFileHas(handle);
    return false;
}

void DbfDropWrites(DbfHandle& handle)
{
    if (!handle.stream || handle.stream->WritesWaiting() == 0)
        return;
    handle.stream->DropWrites();
    CountWhatTheFileHas(handle);
}

bool DbfReadMemo(const DbfHandle& handle, int index, std::string& text)
{
    text.clear();
    const uint32_t block = FieldBlock(handle, index);
    return handle.memo && block > 0 && MemoRead(*handle.memo, block, text);
}
