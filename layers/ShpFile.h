#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "core/RangeReads.h"

#include <cstdint>
#include <memory>
#include <vector>

class CShape;
class CStream;

// The geometry half of an ESRI Shapefile: the main file (".shp") and its
// record index (".shx"). Both start with the same 100-byte header: the file
// code 9994 and the file length in 16-bit words big-endian at 0 and 24,
// version 1000, the shape type and the box Xmin, Ymin, Xmax, Ymax
// little-endian from 28 on. Main-file records are an 8-byte big-endian head
// (record number from 1, content length in words) and the content; index
// record n, at byte 100 + 8n, gives the record's offset and content length
// in words.
//
// Everything read from the files is checked against what they hold before
// it is used: a record that claims more than the file has, counts that do
// not fit their record, part starts out of order or beyond the points and
// coordinates that are no numbers end the reading with an error, never
// with a read outside the data.
//
// Failures are answered in the numbering of the feature sources' error
// state (0 none, 1 write, 4 read, 6 memory, 7 structure, 8 type).
class CShpFile {
public:
    static constexpr int32_t kFileCode = 9994;
    static constexpr int32_t kVersion = 1000;
    static constexpr int kHeaderSize = 100;
    static constexpr int kRecordHeadSize = 8;
    static constexpr int kIndexRecordSize = 8;
    static constexpr int kPointRecordSize = 28;

    enum ShapeType : int32_t { kNullShape = 0, kPoint = 1, kPolyLine = 3, kPolygon = 5, kMultiPoint = 8 };
    enum Error : int {
        kNoError = 0,
        kWriteError = 1,
        kReadError = 4,
        kNoMemory = 6,
        kBadStructure = 7,
        kWrongType = 8,
    };

    // The header fields the system reads and writes; the Z and M ranges are
    // written as zeros.
    struct CHeader {
        int32_t lengthWords = kHeaderSize / 2;
        int32_t shapeType = kNullShape;
        double xmin = 0, ymin = 0, xmax = -1.0, ymax = -1.0;

        void Encode(unsigned char* bytes) const;
        // False when the file code or the version is not a Shapefile's.
        bool Decode(const unsigned char* bytes);
        // As a map rectangle: left Xmin, top Ymax, right Xmax, bottom Ymin.
        CMapRect Box() const { return CMapRect(xmin, ymax, xmax, ymin); }
    };

    // Where a record lies in the main file and what it holds.
    struct CRecord {
        int64_t offset = 0;       // of the record head
        int64_t contentBytes = 0; // as its head states
        int32_t number = 0;       // as its head states, from 1
        int32_t type = kNullShape;
        int64_t End() const { return offset + kRecordHeadSize + contentBytes; }
    };

    CShpFile();
    ~CShpFile();
    CShpFile(const CShpFile&) = delete;
    CShpFile& operator=(const CShpFile&) = delete;

    // Reading. Takes both streams and reads their headers; 0 or the error.
    int Open(std::unique_ptr<CStream> main, std::unique_ptr<CStream> index);
    void Close();
    bool IsOpen() const { return m_main != nullptr; }
    bool IsCreated() const { return m_created; }
    const CHeader& GetHeader() const { return m_header; }
    int32_t GetShapeType() const { return m_header.shapeType; }
    // The records the index lists (whole index records only).
    int GetRecordCount() const { return m_indexCount; }
    // The first record of the main file, and where the records end.
    static constexpr int64_t FirstRecord() { return kHeaderSize; }
    int64_t RecordsEnd() const { return m_mainEnd; }

    // The record whose head is at offset; 0 or the error. bytes: its whole
    // length when the caller knows it, so that one read takes it all.
    int ReadRecord(int64_t offset, CRecord& record, int64_t bytes = 0);
    // The record that index record n points at.
    int ReadIndexedRecord(int n, CRecord& record);
    // Reads ahead the first count index records of records (ascending) and
    // the records they point at, together, for a reader that knows which it
    // wants next (the index hits); ReadIndexedRecord takes them from there.
    void ReadAhead(const std::vector<int>& records, size_t count);
    // Index record n is among those read ahead.
    bool IsReadAhead(int n);
    // A point or multipoint record's point (a multipoint's first); empty
    // for a null record or a multipoint without points.
    int ReadPoint(const CRecord& record, CMapPoint& point, bool& empty);
    // A polyline or polygon record's box; empty for a null record and a
    // box without parts and points.
    int ReadBox(const CRecord& record, CMapRect& box, bool& empty);
    // A polyline or polygon record as a shape of its parts with its box;
    // null and part-less records give the empty shape with the empty box.
    int ReadShape(const CRecord& record, CShape& shape);

    // Writing new files. Writes the creation header (box 0, 0, -1, -1) to
    // both streams; type is kPoint, kPolyLine or kPolygon.
    int Create(std::unique_ptr<CStream> main, std::unique_ptr<CStream> index, int32_t type);
    int AppendPoint(const CMapPoint& point);
    // Parts of no points are left out; a shape without points becomes a
    // record of no parts. kWrongType for coordinates that are no numbers
    // or part sizes that do not add up to the points.
    int AppendShape(const CShape& shape);
    int GetWrittenCount() const { return m_written; }
    // The box of what was appended (empty when nothing with points was).
    const CMapRect& GetWrittenExtent() const { return m_writtenExtent; }
    // Both headers rewritten with the files' lengths and the extent
    // appended; the creation box stays when nothing with points was appended.
    int WriteHeaders();
    // Flushes both streams.
    bool Flush();

private:
    struct CWindow;
    // The box and counts of a polyline or polygon record, checked against
    // the record's length; no points for null and part-less records.
    struct CPolyHead {
        CMapRect box;
        int32_t parts = 0;
        int32_t points = 0;
    };
    int ReadPolyHead(const CRecord& record, CPolyHead& head);

    // count bytes from offset of the main or index file, within its end;
    // null when they cannot be had, m_fetchError telling why.
    // A read made where the window does not hold them takes at least guess
    // bytes, where the caller knows how many it will want.
    const unsigned char* Fetch(CWindow& window, int64_t offset, size_t count, int64_t end, int64_t guess = 0);
    int PastEnd() const;
    int AppendRecord(const std::vector<unsigned char>& bytes, const CMapRect& box);

    std::unique_ptr<CStream> m_main;
    std::unique_ptr<CStream> m_index;
    std::unique_ptr<CWindow> m_mainWindow;
    std::unique_ptr<CWindow> m_indexWindow;
    CHeader m_header;
    int64_t m_mainEnd = 0;
    bool m_truncated = false; // the main file is shorter than its header says
    int m_fetchError = kNoError;
    int m_indexCount = 0;

    bool m_created = false;
    int m_written = 0;
    int64_t m_writePosition = 0;
    CMapRect m_writtenExtent;
    std::vector<unsigned char> m_recordBuffer;
    // What ReadAhead read, and the record of those that is being read.
    std::vector<int> m_ahead;
    std::vector<CRangeRead> m_aheadEntries, m_aheadRecords;
    size_t m_aheadCount = 0, m_aheadNext = 0;
    const CRangeRead* m_recordAhead = nullptr;
    void ForgetReadAhead();
};
