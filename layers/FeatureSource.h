#pragma once

#include "core/BitSet.h"
#include "core/DbfTable.h"
#include "core/ExprObjectProvider.h"
#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "core/Shape.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CCoordConverter;
class IProgress;
class CSpatialFilter;

// Record numbers that a search answers.
using CRecordArray = std::vector<int32_t>;

// The common base of the vector data sources of layers: the objects of a
// file (points, lines, areas, texts) coupled with a record-parallel
// attribute table, object n being attribute record n.
//
// A layer reader opens a source and restricts what its readers deliver:
// a record list, a query rectangle (narrowed through the spatial index on
// large tables), an attribute filter, a spatial filter and one excluded
// record. The sequential readers (ReadNextPoint, ReadNextShape) deliver, in
// turn, the next record of the list, else of the index hits, else of the
// file in order, that is live, not excluded, meets the query rectangle,
// passes the filter and the spatial filter. The delivered record becomes
// the current record; its attributes are read on demand (GetRecordTable).
// Operations that walk every object (the searches, copying, building the
// index) start from the first; Rewind restarts the readers.
//
// Failures are kept in the error state; while it is set every reading
// operation answers false at once. Open and Create clear it. A malformed
// object is the exception: the readers pass over it to the next sound one
// (by the index or the table where the format has one, else by its stated
// length), its error stays in the error state, the first one only, and
// reading goes on; the sources stop only when no sound next object is
// there.
class CFeatureSource : public CExprObjectProvider {
public:
    enum Error : int {
        kNoError = 0,
        kWriteError = 1,
        kCreateError = 2,
        kOpenError = 3,
        kReadError = 4,
        kNoMemory = 6,
        kBadStructure = 7, // header, columns or blocks that do not hold together
        kWrongType = 8,    // the operation does not serve this geometry type
    };
    enum GeometryType : int { kPoint = 0, kLine = 1, kArea = 2, kText = 5, kTrack = 10 };

    // Past this many records SetQueryRect consults the spatial index.
    static constexpr int kIndexMinRecords = 8000;

    CFeatureSource() = default;
    CFeatureSource(const CFeatureSource&) = delete;
    CFeatureSource& operator=(const CFeatureSource&) = delete;
    ~CFeatureSource() override;

    // Rewrites the files without deleted records; false when nothing was replaced.
    virtual bool Pack() { return false; }
    // The vertex nearest to the point among the objects the readers deliver.
    virtual bool FindNearestVertex(const CMapPoint& point, CMapPoint& vertex) { return false; }
    // The attribute table's fields ended by an entry of length 0; empty when it is not open.
    virtual std::vector<CDbfFieldInfo> GetFieldInfos() const;
    // Fields of the current attribute record that the target has by name,
    // into the target's record buffer.
    virtual void CopyAttributesTo(CDbfTable& target) const;
    virtual bool GetRecordBox(int n, CMapRect& box) { return false; }
    virtual bool IsOpen() const = 0;
    virtual bool Open(const std::string& path) = 0;
    // Open, then AcceptType(type) unless the type is -1.
    virtual bool OpenTyped(const std::string& path, int type);
    virtual void Close() = 0;
    virtual bool ReadPoint(int n, CMapPoint& point) { return false; }
    virtual bool ReadShape(int n, CShape& shape) { return false; }
    virtual bool ReadNextPoint(CMapPoint& point) { return false; }
    virtual bool ReadNextShape(CShape& shape) { return false; }
    // The records whose boxes lie inside the rectangle, edges included.
    virtual bool SelectInRect(const CMapRect& rect, CRecordArray& records) { return false; }
    // The records of the nearest line; the distance when asked for.
    virtual bool FindNearestLine(const CMapPoint& point, CRecordArray& records, double* distance) { return false; }
    virtual bool SelectWithin(const CMapRect& rect, CRecordArray& records) { return false; }
    // The areas holding the point, boundary included.
    virtual bool FindAreasAt(const CMapPoint& point, CRecordArray& records) { return false; }
    virtual bool GetExtent(CMapRect& extent) = 0;
    // Whether the source can serve a layer of that geometry type.
    virtual bool AcceptType(int type) { return type == GetShapeType(); }
    virtual int GetShapeType() const = 0;
    // New files for the geometry type; fields null for the default table.
    virtual bool Create(const std::string& path, int type, const CDbfFieldInfo* fields) { return false; }
    // Appends the object and a blank attribute record; writeAttributes asks
    // for that record to be written at once, else the caller fills it and
    // writes it (sources may write it at once either way).
    virtual bool AppendPoint(const CMapPoint& point, bool writeAttributes) { return false; }
    virtual bool ReplacePoint(const CMapPoint& point, int n) { return false; }
    virtual bool AppendShape(const CShape& shape, bool writeAttributes) { return false; }
    virtual bool ReplaceShape(const CShape& shape, int n) { return false; }
    virtual bool DeleteRecord(int n) { return false; }
    virtual bool CanWrite() const { return false; }
    // Holds the files locked for the writes that follow, until EndWrites or
    // Close, so that they reach the files in blocks of many objects instead
    // of one by one. Other programs wait meanwhile, and see the objects
    // once the hold ends. False from EndWrites when a held write failed.
    virtual bool BeginWrites();
    virtual bool EndWrites();

    // Restrictions of the readers.
    // Null clears the query rectangle (and the index hits that came with
    // it); another rectangle narrows the one set. On a table of more than
    // kIndexMinRecords records a rectangle under a quarter of the extent's
    // area is answered from the spatial index when a valid one exists.
    void SetQueryRect(const CMapRect* rect);
    bool GetQueryRect(CMapRect& rect) const;
    // Borrowed. Its bounds narrow the query rectangle; null or a negative
    // kind removes it (the rectangle stays).
    void SetSpatialFilter(CSpatialFilter* filter);
    // Borrowed, forwarded to the attribute table.
    void SetFieldAliases(const CDbfTable::CAliasMap* aliases);
    // Compiles the filter on the attribute table; the result says whether
    // it is in force.
    bool SetFilter(std::string_view text);
    // Borrowed: only these records are read, in this order; a count of 0
    // removes the list, a null list with a count is last-record mode.
    void SetRecordList(const int32_t* records, int count);
    // Only the table's last record is read, once; false, and no list, for an empty table.
    bool SetLastRecordMode();
    // The readers and searches pass over this record (-1: none).
    void SetExcludedRecord(int n) { m_read.excluded = n; }
    // Borrowed converters; null for none. The read and write converters
    // apply to the points that sources keeping geographic coordinates read
    // and store; the coordinate converter to what is copied out of the source.
    void SetReadConverter(const CCoordConverter* converter) { m_readConverter = converter; }
    void SetWriteConverter(const CCoordConverter* converter) { m_writeConverter = converter; }
    void SetCoordConverter(const CCoordConverter* converter) { m_converter = converter; }
    const CCoordConverter* GetCoordConverter() const { return m_converter; }
    // Back to the first object, the restrictions kept.
    void Rewind();

    int GetError() const { return m_error; }
    // An error that stops the readers: any but malformed objects passed over.
    bool HasStoppingError() const { return m_error != kNoError && !m_objectError; }
    int GetCurrentRecord() const { return m_read.current; }
    bool IsIndexInUse() const { return m_read.indexInUse; }
    CDbfTable& GetTable() { return m_table; }
    const CDbfTable& GetTable() const { return m_table; }

    // The attribute table alone: the next record of the list, else the next
    // live record that passes the filter.
    bool MoveNext();
    // The interior point of the next shape whose interior point lies in the query rectangle.
    bool ReadNextShapeLabelPoint(CMapPoint& point);
    // The records at the smallest |dx| + |dy| from the point, ties all listed in reading order.
    bool FindNearestPoints(const CMapPoint& point, CRecordArray& records, double* distance);
    // Caption TAB value lines of the current attribute record, or of record n.
    void GetRecordLines(std::vector<std::string>& lines) const;
    bool GetRecordLinesAt(int n, std::vector<std::string>& lines);
    // The attribute table standing on record n; null when it cannot be read.
    CDbfTable* GetRecordTable(int n);
    // The field's text of record n, trimmed at both ends.
    bool GetFieldText(int n, int field, std::string& text);
    // Appends what the source's readers deliver to this source, clipped to
    // the source's query rectangle when clip is set, converted by the
    // source's coordinate converter, with the attributes of the same names.
    // The progress, when given, moves to the count of objects read and is
    // asked every 64 objects whether to stop; a cancel gives false.
    bool CopyFeaturesFrom(CFeatureSource& source, bool clip, IProgress* progress = nullptr);
    // Create with the source's type and fields, then CopyFeaturesFrom.
    bool CreateFrom(const std::string& path, CFeatureSource& source, bool clip, IProgress* progress = nullptr);
    // Indexes every live object, whatever restrictions are set, into the
    // index file beside the attribute table.
    bool BuildSpatialIndex();
    // Every point the readers deliver, as one part.
    bool ReadAllPoints(CShape& shape);

    // The index file of the source.
    std::string GetIndexPath() const;

    // Measures of the object whose attribute record the filter is testing,
    // in map units, for the OBJ_ functions.
    double GetArea() override;
    double GetLength() override;
    int GetPartCount() override;
    int GetPointCount() override;
    bool IsClosed() override;

protected:
    // CopyFeaturesFrom inside its hold.
    bool CopyEachFeature(CFeatureSource& source, bool clip, IProgress* progress);
    // Every read restriction lifted for the object's lifetime and the
    // readers rewound; all are put back afterwards (Pack and the index
    // see every live object).
    class CUnrestricted;

    // Reading order for the sources.
    enum : int { kFileOrder = -2 };
    // Boxes that share a point, edges included; a box inside another, edges included.
    static bool BoxesMeet(const CMapRect& a, const CMapRect& b)
    {
        return a.left <= b.right && a.right >= b.left && a.bottom <= b.top && a.top >= b.bottom;
    }
    static bool BoxContains(const CMapRect& outer, const CMapRect& inner)
    {
        return inner.left >= outer.left && inner.right <= outer.right && inner.bottom >= outer.bottom &&
               inner.top <= outer.top;
    }
    // An extra condition of a search on a record's box.
    struct CBoxProbe {
        CMapRect rect;
        bool inside = false; // the box must lie inside the rectangle, else meet it
        bool Passes(const CMapRect& box) const { return inside ? BoxContains(rect, box) : BoxesMeet(box, rect); }
    };
    // The next record of the record list or of the index hits, passing
    // over the excluded record and records outside the table; kFileOrder
    // when neither is in force (the source steps through its file); -1 at
    // the end.
    int NextListedRecord();
    // The last index hit that one read of records of this length starting
    // at hit n should reach: the hits after n that lie so close together
    // that copying the records between costs less than another read; -1
    // when no index is in use.
    int IndexHitReach(int n, int64_t recordLength) const;
    // The index hits from hit n on, at most kFetchBatch, for a reader to
    // read ahead together (core/RangeReads.h); none where they lie so close,
    // by the mean bytes an object takes in the file read for it, that
    // reading far ahead serves better: then plainUntil is the last of them.
    static constexpr size_t kFetchBatch = 1024;
    size_t CollectHitsToFetch(int n, int64_t objectBytes, std::vector<int>& hits, int& plainUntil) const;
    int GetExcludedRecord() const { return m_read.excluded; }
    bool HasRecordList() const { return m_read.recordCount > 0; }
    bool HasQueryRect() const { return m_read.queryRectSet; }
    bool BoxMeetsQuery(const CMapRect& box) const;
    bool PointInQuery(const CMapPoint& point) const;
    // Searches over what the sequential readers deliver, from the first.
    // The point nearest by |dx| + |dy|, ties to the later one.
    bool FindNearestPointOf(const CMapPoint& point, CMapPoint& nearest);
    // The vertex of the shapes nearest by max(|dx|, |dy|), ties to the later
    // one; with a query rectangle it lies inside and within the
    // rectangle's width plus height.
    bool FindNearestShapeVertex(const CMapPoint& point, CMapPoint& vertex);
    // The records of the shapes whose segments come nearest, within the
    // same tolerance: one nearer by more than 2e-9 starts the list anew.
    bool FindNearestShapeLine(const CMapPoint& point, CRecordArray& records, double* distance);
    // The attribute record passes the filter in force. ahead: records come
    // in ascending order, read through the table's read-ahead.
    bool PassesFilter(int n, bool ahead);
    bool HasSpatialFilter() const { return m_read.spatialFilter != nullptr; }
    bool PassesSpatialFilter(const CShape& shape) const;
    bool PassesSpatialFilter(const CMapPoint& point) const;
    // A shape the filter loaded for record n while measuring it, taken over
    // by the reader instead of reading it again.
    bool TakeMeasuredShape(int n, CShape& shape);
    // After a write the index hits may miss objects: the readers walk the file.
    void ForgetIndexHits();
    // Clears what the readers hold of a file that is closing.
    void ResetReading();
    void SetError(int error)
    {
        m_error = error;
        m_objectError = false;
    }
    // A malformed object passed over: kept unless an error stands already.
    void ReportBadObject(int error);

    // The geometry of record n for measuring, read without moving the
    // readers or touching the error state. Default: ReadShape.
    virtual bool ReadGeometry(int n, CShape& shape);
    // The box of the next object for the index; default: ReadNextShape's extent.
    virtual bool ReadNextBox(CMapRect& box);
    // Puts the attribute table on record n; default: the table reads it.
    // Sources whose table holds no file make the record themselves.
    virtual bool GoToAttributeRecord(int n) { return m_table.GoToRecord(n); }
    // The table whose state an index must match: its path and record count.
    // Default: the attribute table.
    virtual std::string GetIndexedTablePath() const;
    virtual int GetIndexedRecordCount() const;

    // The record delivered last, and the next record of the file-order walk.
    int& Current() { return m_read.current; }
    int& ScanNext() { return m_read.scanNext; }

    const CCoordConverter* m_readConverter = nullptr;
    const CCoordConverter* m_writeConverter = nullptr;
    CDbfTable m_table;

private:
    // What the readers are restricted to and where they stand.
    struct CReadState {
        int excluded = -1;
        bool indexInUse = false;
        int indexPosition = -1;
        const int32_t* recordList = nullptr;
        int recordCount = 0;
        int listPosition = 0;
        CSpatialFilter* spatialFilter = nullptr;
        CMapRect queryRect;
        bool queryRectSet = false;
        bool filterInForce = false;
        int current = -1;
        int scanNext = 0;
    };

    bool LoadIndexHits();
    const CShape* MeasuredShape();

    CReadState m_read;
    CBitSet m_indexHits;
    const CCoordConverter* m_converter = nullptr;
    int m_error = kNoError;
    bool m_objectError = false; // m_error tells of a malformed object only
    // The object last measured for the filter.
    int m_measuredRecord = -1;
    bool m_measuredOk = false;
    CShape m_measuredShape;
};

class CFeatureSource::CUnrestricted {
public:
    explicit CUnrestricted(CFeatureSource& source);
    ~CUnrestricted();
    CUnrestricted(const CUnrestricted&) = delete;
    CUnrestricted& operator=(const CUnrestricted&) = delete;

private:
    CFeatureSource& m_source;
    CReadState m_saved;
};
