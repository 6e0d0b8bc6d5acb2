#pragma once

#include "core/DbfFieldInfo.h"
#include "core/DbfMemoFile.h"
#include "core/ReadAhead.h"
#include "platform/Stream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The record-level dBASE III engine: a table handle and free functions that
// open and create tables, move between records, read and store field texts
// and write records back under the file lock. Memo texts live in a memo file
// beside the table (see DbfMemoFile.h).
//
// Field texts are handed out as std::string values owned by the caller, so
// they stay valid across later engine calls and other tables.
//
// Functions that answer a bool answer true when they did what was asked.

// One field as the engine keeps it, with its place in the record.
struct DbfField {
    char name[11] = {}; // zero-terminated
    char type = 'C';
    int offset = 0;     // in the record, the deletion byte at 0
    int length = 0;
    int decimals = 0;
};

enum DbfPositionFlags { kDbfBeforeFirst = 1, kDbfPastLast = 2 };

// Why an open failed.
enum class DbfError {
    None,
    CannotOpen,   // missing, or no access
    BadStructure, // the header or the field list is not a table's, or the file is cut short
};

struct DbfHandle {
    // None for a table held in memory only. Writes are held back while
    // DbfLock holds the lock: the records written meanwhile reach a table
    // file in blocks.
    std::unique_ptr<CStream> stream;
    std::string path;
    unsigned char header[32] = {};   // the record count and lengths are kept here
    std::vector<DbfField> fields;
    int current = 0;                 // current record number
    int flags = 0;                   // DbfPositionFlags
    std::vector<char> record;        // record length bytes and a zero byte
    std::unique_ptr<DbfMemoFile> memo;
    bool locked = false;
    // The file holds fewer records than its header counts (cut short): only
    // the whole records are read, and nothing is written.
    bool damaged = false;
    // Records appended by DbfWriteHere that the file's header does not count yet.
    bool headerPending = false;
    // Records that DbfReadNext read ahead, from readAheadOffset in the file;
    // dropped by every move, random read and write.
    std::vector<char> readAhead;
    int64_t readAheadOffset = 0;
    // Far for scans, a few records where reading jumps.
    CReadAhead readAheadSize{256, 64 * 1024};

    int RecordCount() const;
    int HeaderLength() const;
    int RecordLength() const;
    int FieldCount() const { return static_cast<int>(fields.size()); }
    unsigned char Version() const { return header[0]; }
    bool IsDeleted() const { return record[0] == '*'; }
    void SetRecordCount(int count);
};

constexpr unsigned char kDbfVersionPlain = 0x03;
constexpr unsigned char kDbfVersionMemo = 0xF5;

// Opening and closing. The memo file of a table with memo fields is the
// table's sibling with the extension "FPT" in either letter case.
std::unique_ptr<DbfHandle> DbfOpen(const std::string& path, DbfError* error = nullptr);
// A table read from a stream; memo may be null. The header is validated
// against what the stream holds. A header that counts more records than
// the stream holds (once more asked under a short lock, in case a writer
// was at work) gives a damaged handle of the whole records; fields of
// width 0 are passed over.
std::unique_ptr<DbfHandle> DbfOpenStream(std::unique_ptr<CStream> stream, std::unique_ptr<CStream> memo,
                                         std::string path = {}, DbfError* error = nullptr);
// A new table in memory only, from a field list ended by a length-0 entry.
// Null when the list does not make a valid table.
std::unique_ptr<DbfHandle> DbfNewFromFields(const CDbfFieldInfo* fields);
// A new table file (and its memo file when a field has type 'M'), replacing
// any file of that name.
std::unique_ptr<DbfHandle> DbfCreate(const std::string& path, const CDbfFieldInfo* fields);
// The same into given streams; memoStream is used only when a field has type 'M'.
std::unique_ptr<DbfHandle> DbfCreateStream(std::unique_ptr<CStream> stream, std::unique_ptr<CStream> memoStream,
                                           const CDbfFieldInfo* fields, std::string path = {});
std::unique_ptr<DbfHandle> DbfCreateLike(const DbfHandle& like, const std::string& path);
// The field list of a handle, ended by a length-0 entry.
std::vector<CDbfFieldInfo> DbfFieldList(const DbfHandle& handle);
void DbfClose(std::unique_ptr<DbfHandle>& handle);

// Moving: only the current record number and the flags change.
void DbfGoTop(DbfHandle& handle);
void DbfGoBottom(DbfHandle& handle);
bool DbfGoTo(DbfHandle& handle, int record);
bool DbfSkip(DbfHandle& handle, int count);

// Reading into the record buffer.
bool DbfReadRecord(DbfHandle& handle, int record);
bool DbfReread(DbfHandle& handle);
// Reads the current record and moves on: after reading record k the current
// record is k + 1. Records are read ahead in blocks; what another program
// changes in records already read shows after the next move.
bool DbfReadNext(DbfHandle& handle);
bool DbfReadNextUndeleted(DbfHandle& handle);
// Reads record n and stands after it, through the records read ahead: fast
// for records visited in ascending order, with DbfReadNext's staleness.
// reach: the last of the records the caller wants next, when it knows them
// (index hits): a read that must be made reaches that far and no farther.
bool DbfReadRecordAhead(DbfHandle& handle, int record, int reach = -1);
// The record is among those read ahead: reading it makes no read.
bool DbfHoldsRecord(const DbfHandle& handle, int record);
// Where record n starts in the file.
int64_t DbfRecordOffset(const DbfHandle& handle, int record);
// Record n, read by the caller (several records at once, say), put in the
// record buffer as DbfReadRecordAhead would have read it.
bool DbfPutRecordRead(DbfHandle& handle, int record, const void* bytes);
// Takes the record count from the file again (another program may have
// appended); DbfLock does so whenever it takes the lock. False, nothing
// changed, when the file's header no longer fits this handle or the file.
// A damaged handle keeps what it has.
bool DbfRefreshHeader(DbfHandle& handle);
// Takes the table as damaged: read-only, with no more than count records.
void DbfMarkDamaged(DbfHandle& handle, int count);
// False when the table may be written; else shows message 1044 (a
// read-only file, or a damaged table) and answers true.
bool DbfRefuseIfReadOnly(const DbfHandle& handle);

// Field access by index; an invalid index gives the empty text, 0, or no effect.
int DbfFindField(const DbfHandle& handle, std::string_view name);
char* DbfFieldPtr(DbfHandle& handle, int index);
// The raw field text, stopping early at a zero byte; returns its length.
int DbfCopyFieldText(const DbfHandle& handle, int index, std::string& text);
std::string DbfGetString(const DbfHandle& handle, int index);
double DbfGetDouble(const DbfHandle& handle, int index);
long DbfGetLong(const DbfHandle& handle, int index);
int DbfGetInt(const DbfHandle& handle, int index);
char DbfGetChar(const DbfHandle& handle, int index);
bool DbfIsBlank(const DbfHandle& handle, int index);
// The text shown for a field: dates as YY-MM-DD, 'F' numbers in fixed
// notation, "<Memo>" or "<memo>" for memo fields, else the raw text.
int DbfFieldText(const DbfHandle& handle, int index, std::string& text);
std::string DbfGetDisplayText(const DbfHandle& handle, int index);
double DbfGetDegrees(const DbfHandle& handle, int index);
// A coordinate in degrees from its compact text: "54.25", "054N3015.5",
// "054N30.5000", "023W45".
double ParseDegreesText(std::string_view text);

// Storing into the record buffer (the file is not touched, except that memo
// texts go to the memo file at once). A number too wide for its field drops
// decimals until it fits; when it still does not, the field is filled with
// '*' and the store answers false.
bool DbfPutString(DbfHandle& handle, int index, std::string_view text);
// The text DbfPutDouble would store, right-justified; false (and the '*'
// text) when the number does not fit, so a caller can refuse it before
// anything is stored.
bool DbfNumberText(const DbfHandle& handle, int index, double value, std::string& text);
bool DbfPutDouble(DbfHandle& handle, int index, double value);
bool DbfPutLong(DbfHandle& handle, int index, long value);
bool DbfPutBlockNumber(DbfHandle& handle, int index, long block);
bool DbfPutMemo(DbfHandle& handle, int index, std::string_view text);
// Copies field sourceIndex of the source's record into field targetIndex of
// the target's record, converting between types.
bool DbfCopyField(DbfHandle& target, const DbfHandle& source, int targetIndex, int sourceIndex);
void DbfCopyMatchingFields(DbfHandle& target, const DbfHandle& source);

// Writing to the file. Each refuses a read-only or damaged table (message
// 1044) and works under the file lock (message 1054 when it cannot be had),
// with the record count as the file has it then.
// Writes the record buffer as the current record. A record made by
// DbfAppendBlank (or a current record at the end) is appended at the end
// the file has under the lock, and its number becomes current.
bool DbfWriteRecord(DbfHandle& handle);
bool DbfWriteCurrent(DbfHandle& handle);
// As DbfWriteRecord without the end mark and the header: bulk appends end with DbfFlush.
bool DbfWriteHere(DbfHandle& handle);
bool DbfFlush(DbfHandle& handle);
// Rewrites the 32-byte header (no lock, no test: for callers holding the lock).
bool DbfWriteHeader(DbfHandle& handle);
void DbfAppendBlank(DbfHandle& handle);
bool DbfDeleteCurrent(DbfHandle& handle);
bool DbfDeleteRecordAt(DbfHandle& handle, int record);
bool DbfZap(DbfHandle& handle);
// Drops the records from count on (count <= the record count): takes back
// an append that its partner file could not follow.
bool DbfTruncate(DbfHandle& handle, int count);
// Appends the source's current record to a target of the same structure,
// with copies of its memo texts.
bool DbfAppendCopy(DbfHandle& target, const DbfHandle& source);
// One field of record n (0 <= n <= count) written straight into the file.
bool DbfWriteFieldString(DbfHandle& handle, int record, int index, std::string_view text);
bool DbfWriteFieldLong(DbfHandle& handle, int record, int index, long value);
bool DbfWriteFieldDouble(DbfHandle& handle, int record, int index, double value);
// Reuses the memo block the field names in the record buffer, so read record n first.
bool DbfWriteMemoAt(DbfHandle& handle, int record, int index, std::string_view text);
// Taking the lock reads the record count again (unless appends of this
// handle are not yet counted); a header that no longer fits refuses the
// lock with message 1030. While the caller holds it, what the handle writes
// waits in memory and goes to the file in blocks, at the latest when the
// lock is released (or the table closed): other programs count the records
// under the lock, so they see them all then. False from DbfUnlock when
// such a write failed.
bool DbfLock(DbfHandle& handle);
bool DbfUnlock(DbfHandle& handle);
// What waits goes to the file now, the lock kept; on failure the handle
// counts the records the file has.
bool DbfSendWrites(DbfHandle& handle);
// What waits is forgotten: the handle counts the records the file has.
void DbfDropWrites(DbfHandle& handle);

// The memo text of a field; false when the table has no memo file or the
// field names no stored text.
bool DbfReadMemo(const DbfHandle& handle, int index, std::string& text);
