#pragma once

#include "core/DbfEngine.h"
#include "core/RangeReads.h"
#include "core/ReadAhead.h"
#include "layers/FeatureSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CStream;

// One text object of a GDB text layer: its box, anchor, text and font, and
// the drawing parameters as they are stored (by their byte offsets).
struct CGdbText {
    CMapRect box;
    CMapPoint anchor;
    std::string text; // at most 32 characters
    std::string font; // at most 32 characters
    int32_t param0 = 0;
    int32_t param4 = 0;
    int32_t fontAttributes[3] = {};
    uint8_t param21 = 0;
    int16_t param22 = 0;
    CMapPoint paramPoint;
    double param40 = 0;
    double param56 = 0;
    double param64 = 0;
};

// The system's own vector layer: three files of one base name, a table of
// geometry columns (".gdb": COORDD for points and text anchors, RECTD and
// PTR for lines, areas and texts, PARAM, TEXT and FONT for texts), the
// geometry file (".vec": a 104-byte header, then blocks of parts and
// points with a free list) and the attribute table (".dbf").
//
// Writers take the geometry file's lock, read its header again, append or
// replace, write the header back and only then let go, so two programs
// appending to one layer never share a block and the files open after every
// step. The geometry table and the attribute table are appended under the
// same lock and stay record-parallel.
class CGdbSource : public CFeatureSource {
public:
    static constexpr uint32_t kMagic = 0x99999999;
    static constexpr int kHeaderSize = 104;
    static constexpr int kBlockHeaderSize = 24;
    // Widths of the geometry columns.
    static constexpr int kCoordWidth = 16;
    static constexpr int kRectWidth = 32;
    static constexpr int kPtrWidth = 4;
    static constexpr int kParamWidth = 72;
    static constexpr int kTextWidth = 32;

    // The header's check word over its first 92 bytes and the file length.
    static uint32_t ComputeCheckWord(const unsigned char* header);
    // Bytes a block of p parts and n points needs.
    static int64_t BlockSize(int64_t parts, int64_t points) { return kBlockHeaderSize + 4 * parts + 16 * points; }

    CGdbSource() = default;
    ~CGdbSource() override;

    bool Pack() override;
    bool FindNearestVertex(const CMapPoint& point, CMapPoint& vertex) override;
    bool GetRecordBox(int n, CMapRect& box) override;
    bool IsOpen() const override { return m_vec != nullptr; }
    bool Open(const std::string& path) override;
    void Close() override;
    bool ReadPoint(int n, CMapPoint& point) override;
    bool ReadShape(int n, CShape& shape) override;
    bool ReadNextPoint(CMapPoint& point) override;
    bool ReadNextShape(CShape& shape) override;
    bool SelectInRect(const CMapRect& rect, CRecordArray& records) override;
    bool FindNearestLine(const CMapPoint& point, CRecordArray& records, double* distance) override;
    bool SelectWithin(const CMapRect& rect, CRecordArray& records) override;
    bool FindAreasAt(const CMapPoint& point, CRecordArray& records) override;
    bool GetExtent(CMapRect& extent) override;
    // Open: only a change between line and area, kept in memory until the
    // header is next written; closed: any type.
    bool AcceptType(int type) override;
    int GetShapeType() const override { return m_type; }
    bool Create(const std::string& path, int type, const CDbfFieldInfo* fields) override;
    bool AppendPoint(const CMapPoint& point, bool writeAttributes) override;
    bool ReplacePoint(const CMapPoint& point, int n) override;
    bool AppendShape(const CShape& shape, bool writeAttributes) override;
    bool ReplaceShape(const CShape& shape, int n) override;
    bool DeleteRecord(int n) override;
    bool CanWrite() const override { return true; }
    bool BeginWrites() override;
    bool EndWrites() override;

    bool ReadNextLabelPoint(CMapPoint& point) { return ReadNextShapeLabelPoint(point); }
    // Text layers: the next text object under the readers' restrictions.
    bool ReadNextText(CGdbText& text);

    const std::string& GetPath() const { return m_path; }

protected:
    bool ReadGeometry(int n, CShape& shape) override;
    bool ReadNextBox(CMapRect& box) override;
    std::string GetIndexedTablePath() const override;
    int GetIndexedRecordCount() const override;

private:
    // The header fields.
    struct CHeader {
        unsigned char bytes[kHeaderSize] = {};
        int32_t Get(int offset) const;
        void Set(int offset, int32_t value);
        int32_t Length() const { return Get(24); }
        int32_t Type() const { return Get(32); }
        CMapRect Extent() const;
        void SetExtent(const CMapRect& extent);
        int32_t FirstFree() const { return Get(96); }
        int32_t LastBlock() const { return Get(100); }
        void Seal(); // the check word
    };
    // The first 24 bytes of a block.
    struct CBlockHead {
        int32_t link = 0;
        int32_t capacity = 0;
        int32_t parts = 0;
        int32_t points = 0;
    };
    class CWriteLock;
    friend class CWriteLock;
    // Writes held by BeginWrites go out in blocks of about this many bytes.
    static constexpr size_t kHeldBlock = size_t(512) << 10;
    enum StepResult { kStepEnd, kStepFound, kStepFailed };
    // What a step tests and reads: the point (COORDD), the box (RECTD, or
    // the point for point layers), or the box and then the shape.
    enum StepMode { kStepPoint, kStepBox, kStepShape };

    // Opening and creating.
    bool CreateFiles(const std::string& path, int type, const CDbfFieldInfo* columns, const CDbfFieldInfo* fields);
    bool OpenGeometryFile(const std::string& vecPath);
    bool FindColumns();
    bool CheckRecordCounts();
    // A header read from the file that holds together; 0 or the error state.
    int ReadHeader(CHeader& header) const;
    bool WriteHeader();
    // The geometry file locked, the header and both record counts read as
    // the files hold them now; false, unlocked, with the error state set
    // and the message shown, when they do not hold together.
    bool TakeWriteLock();
    size_t HeldBytes() const;

    // Reading may go on: open, no error state, and the type served (else error state 8).
    bool CanRead(bool typeServed);

    // The geometry table.
    bool ReadGeoRecord(int n);
    // ReadGeoRecord, error state 4 when it fails.
    bool LoadGeoRecord(int n);
    bool GeoRecordDeleted() const;
    CMapPoint GeoPoint() const;
    CMapRect GeoBox() const;
    int32_t GeoPtr() const;
    // The box of the current geometry record as the readers test it.
    CMapRect GeoTestBox() const;
    void PutGeoPoint(const CMapPoint& point);
    void PutGeoBox(const CMapRect& box);
    void PutGeoPtr(int32_t offset);

    // The geometry file. Bytes through the read window (null when they
    // cannot be read); the window goes with every write.
    // At least size bytes at offset; a short read takes guess bytes where the file has them.
    const unsigned char* ReadVecBytes(int64_t offset, int64_t size, int64_t guess = 0);
    void ForgetWindow();
    // Index hit n's geometry record put in the buffer from the hits read
    // ahead, reading the next ones ahead (with their blocks, for shapes)
    // when n is not among them; false when it could not be read so.
    bool TakeFetchedRecord(int n, bool shapes);
    void FetchHits(int n, bool shapes);
    // Reading a block: 0, or the error state it calls for (a box that is no
    // number makes the object as malformed as a bad block).
    int ReadBlock(int64_t offset, CShape& shape, const CMapRect& box);
    bool ReadBlockHead(int64_t offset, CBlockHead& head);
    bool WriteBlock(int64_t offset, int32_t capacity, const CShape& shape);
    bool WriteLink(int64_t offset, int32_t link);
    // Finds room for need bytes: a free block taken whole (first fit,
    // walking from the given one after prev), else the end of the file.
    bool AllocateBlock(int64_t need, int32_t start, int32_t prev, int32_t& offset, int32_t& capacity);

    // The next record under every restriction, its geometry record in the
    // buffer and, in kStepShape, its shape read; kStepFailed with the error
    // state set.
    StepResult StepNext(StepMode mode, CShape* shape = nullptr, const CBoxProbe* probe = nullptr);
    bool QueryMissesExtent() const;
    bool IsLineOrArea() const { return m_type == kLine || m_type == kArea; }
    // Line and area layers only, else error state 8 and message 1034.
    bool RequireLineOrArea();
    bool CopyLiveRecords(CGdbSource& target);
    bool WriteGeoRecord(int n);

    // Appends the geometry record (already in the buffer) and a blank
    // attribute record, or takes both back.
    bool AppendRecords();
    // Writers of points: an open point layer, else error state 8.
    bool RequirePointLayer();
    // The header written with its extent grown by a valid box.
    bool WriteExtentWith(const CMapRect& box);
    // The block and the header; on failure the file keeps its old length.
    bool WriteShapeBlock(int32_t offset, int32_t capacity, const CShape& shape, int32_t oldLength);
    bool ShapeFitsFile(const CShape& shape, int64_t& need) const;
    void DropStaleIndex();

    std::string m_path;
    std::unique_ptr<DbfHandle> m_geo;
    std::unique_ptr<CStream> m_vec;
    bool m_holding = false; // BeginWrites holds the files
    int m_heldFrom = 0;     // the record count when the hold began
    int32_t m_heldLength = 0; // and the geometry file's length
    CHeader m_header;
    int m_type = kPoint;
    bool m_typeChanged = false;
    int m_geoRecord = -1; // the record in the geometry table's buffer
    int m_coordField = -1, m_rectField = -1, m_ptrField = -1, m_paramField = -1, m_textField = -1,
        m_fontField = -1;
    std::vector<unsigned char> m_window;
    int64_t m_windowStart = 0;
    // Blocks are read through a window of the file: a short one around a
    // block met out of order or far on, as long as the block read last
    // (blocks of one layer tend to be alike, and every byte copied past a
    // block is a cache miss), a long one while reading goes on close to the last.
    CReadAhead m_windowSize{kBlockHeaderSize, 64 * 1024};
    int64_t m_lastBlockSize = 512;
    // Index hits read ahead together: their geometry records and, for
    // shapes, their blocks (as long as the guess, and the rest of longer ones).
    std::vector<int> m_fetched;
    std::vector<CRangeRead> m_fetchedRecords, m_fetchedBlocks, m_fetchedRests;
    size_t m_fetchedCount = 0, m_fetchedNext = 0;
    bool m_fetchedShapes = false; // the blocks were read with the records
    const CRangeRead* m_blockHit = nullptr; // the block of the hit whose record is in the buffer
    int m_plainUntil = -1; // hits up to this record lie close: the plain readers read them
    CShape m_scratch;
};
