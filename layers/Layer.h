#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "core/StringMap.h"
#include "layers/DrawStyle.h"
#include "platform/Archive.h"

#include <cfloat>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDC;
class CDbfTable;
class CDrelDoc;
class CDrelView;
class CFeatureSource;
class CLayerReader;
class CShape;
class IDrawingView;
struct CDbfFieldInfo;
struct CNamedPoint;
class CSpatialFilter;
class CStyleRecord;
class CSublayer;
class CThemeClassList;

// An object that code outside the layer hangs on it; the layer deletes it.
class CLayerAttachment {
public:
    virtual ~CLayerAttachment() = default;
};

// One file of a layer made of many files, with the extent of its data.
struct CLayerFileEntry {
    std::string path;
    CMapRect extent;
    friend bool operator==(const CLayerFileEntry&, const CLayerFileEntry&) = default;
};

// While a layer has style passes, its lines and areas are drawn once per
// pass with the pass's style instead of the sublayer's.
struct CStylePass {
    int kind; // 1 lines, 2 areas
    CDrawStyle style;
};

// One entry of a map's layer list: a named view of a data file (or of many
// files of one kind) with its type, flag word, field aliases, hidden
// fields, filter and its scale-ordered sublayers. Group entries of the
// legend are layers too, marked by kGroup.
class CLayer : public CObject {
public:
    static const CRuntimeClass kClass;
    static CObject* CreateObject() { return new CLayer; }

    enum Type : int16_t { kPoint = 0, kLine = 1, kArea = 2, kRaster = 3, kElevation = 4, kTrack = 10 };
    enum Flags : uint32_t {
        kShown = 0x01,
        kWorking = 0x02,
        kDefaultBit = 0x04,
        kObjectsEditable = 0x08,
        kInfoEditable = 0x10,
        kInOverview = 0x20,
        kHasAliases = 0x40,
        kHasHiddenFields = 0x80,
        kManyFiles = 0x100,
        kClassesInLegend = 0x200,
        kDynamic = 0x400,
        kNewestRecordOnly = 0x800,
        kFieldStrength = 0x1000000,
        kPlainValues = 0x2000000,
        kTransparent = 0x4000000,
        kGroup = 0x10000000,
        kPartlyVisibleGroup = 0x20000000,
        kDefaultFlags = 0x1F,
    };

    // The extent of a layer whose data were never read: it is never skipped.
    static constexpr CMapRect kUnboundedExtent{-DBL_MAX, DBL_MAX, DBL_MAX, -DBL_MAX};

    // Empty, for the archive: type and flags come with the record.
    CLayer();
    // A ".trk" path makes a track whatever the type; files other than
    // ".gdb", ".dbf" and ".trk" cannot have their objects edited. One
    // sublayer with the default style of the type.
    CLayer(const std::string& name, const std::string& path, int type);
    CLayer(const CLayer& other);
    CLayer& operator=(const CLayer&) = delete;
    ~CLayer() override;

    const CRuntimeClass* GetRuntimeClass() const override { return &kClass; }
    void Serialize(CArchive& archive) override;
    virtual std::string GetTypeName() const;
    // Under a wait cursor, the overlays cleared: the object at the point
    // marked, its attributes in the object-information window and its
    // name in the status bar; message 1058 for types without objects.
    // True when an object was shown.
    virtual bool ShowObjectInfoAt(const CMapPoint& point, CDrelView& view);
    // The objects in the view's extent, into dc and the view's memory
    // context, through the installed layer drawer (layers/LayerDrawer.h).
    virtual void Draw(CDC& dc, IDrawingView& view);
    // The layer's property sheet (layers/LayerPropertySheet.h) with every
    // page (-1) or one page group; true on OK.
    virtual bool EditProperties(CDrelDoc* document, int pageGroup);
    // The labels, after every layer's objects.
    void DrawLabels(CDC& dc, IDrawingView& view);
    // Every line, or every area, in the view in one style (style passes).
    void DrawLineObjects(CDC& dc, IDrawingView& view, const CDrawStyle& style);
    void DrawAreaObjects(CDC& dc, IDrawingView& view, const CDrawStyle& style);

    // Queries through a map view, by the installed queries
    // (layers/LayerQueries.h); without them nothing is found or shown.
    // The record of the object under the point, in the reader, within 16
    // pixels of it in the view: the nearest points by |dx| + |dy|, the
    // nearest lines, the areas holding the point; the user chooses among
    // several. -1 for a type without objects or a cancelled choice, -2
    // (a layer made of many files beeps) when nothing is near or the data
    // do not open. The file the reader has open goes to openedPath: of a
    // layer made of many files the tile that answered, the layer keeping
    // its own path.
    int HitTest(const CMapPoint& point, CLayerReader& reader, CDrelView& view, std::string* openedPath = nullptr);
    // The same search without the choice: the candidates and, for lines,
    // the nearest point of the first; the source's result, 0 for layers
    // made of many files and types without objects.
    int FindNearest(const CMapPoint& point, CDrelView& view, std::vector<int32_t>& candidates, CMapPoint* snapped);
    // The same search inside the rectangle instead of the pixel box.
    int FindObjectsInRect(const CMapPoint& point, const CMapRect& rect, std::vector<int32_t>& candidates);
    // The record's attributes in the object-information window.
    void ShowRecordInfo(int record, bool closeFirst);
    // The object at the point marked alone on the view, its geometry (one
    // point for points and tracks) out and its name in the status bar; 0
    // when nothing was hit.
    int MarkObjectAt(const CMapPoint& point, CDrelView& view, CShape& geometry, std::string* name = nullptr);
    // The marked object's area, or length, in the view's box for it.
    void ShowAreaAt(const CMapPoint& point, CDrelView& view);
    void ShowLengthAt(const CMapPoint& point, CDrelView& view);
    // Brings the record into view, zoomed to it when asked, and marks it.
    void ShowRecord(int record, CDrelView& view, bool zoom);
    // Marks the records in order, bringing them into view.
    void ShowRecords(const std::vector<int32_t>& records, CDrelView& view, bool zoom);
    // The attribute table window, after the choice of the file of a layer
    // made of many files; message 1057 for rasters.
    void ShowTable(CDrelDoc& document);
    // Dialog 172 on the record of the table (the layer's own when null);
    // true after OK.
    bool EditRecord(CDrelView& view, int record, CDbfTable* table = nullptr);

    // The fields of the attribute table; false when it cannot be read.
    bool ReadFieldList(std::vector<CDbfFieldInfo>& fields) const;
    // Every point the layer delivers, named by its id field (else field 0).
    bool GetNamedPoints(std::vector<CNamedPoint>& points) const;
    // The name of an object as the status bar shows it: its id field's
    // text, or "<n>" when the table has no such field.
    std::string GetObjectName(CFeatureSource& source, int record) const;

    // Takes over everything that is stored, not the record list, spatial
    // filter, style passes or attachment.
    void Copy(const CLayer& other);

    // Stored values.
    const std::string& GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    const std::string& GetPath() const { return m_path; }
    void SetPath(std::string path) { m_path = std::move(path); }
    const std::string& GetIdField() const { return m_idField; }
    void SetIdField(std::string field) { m_idField = std::move(field); }
    const std::string& GetFilter() const { return m_filter; }
    void SetFilter(std::string filter) { m_filter = std::move(filter); }
    const std::string& GetNotes() const { return m_notes; }
    void SetNotes(std::string notes) { m_notes = std::move(notes); }
    int GetType() const { return m_type; }
    void SetType(int type) { m_type = static_cast<int16_t>(type); }
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    bool HasFlag(uint32_t flag) const { return (m_flags & flag) != 0; }
    void SetFlag(uint32_t flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }
    int32_t GetRedrawInterval() const { return m_redrawInterval; }
    void SetRedrawInterval(int32_t seconds) { m_redrawInterval = seconds; }
    int32_t GetMemberCount() const { return m_memberCount; }
    void SetMemberCount(int32_t count) { m_memberCount = count; }
    const CMapRect& GetExtent() const { return m_extent; }
    void SetExtent(const CMapRect& extent) { m_extent = extent; }

    // Field aliases (used with kHasAliases) and hidden fields (with kHasHiddenFields).
    CStringMap& FieldAliases() { return m_fieldAliases; }
    const CStringMap& FieldAliases() const { return m_fieldAliases; }
    std::vector<std::string>& HiddenFields() { return m_hiddenFields; }
    const std::vector<std::string>& HiddenFields() const { return m_hiddenFields; }
    // The alias of a field, or the field name itself.
    std::string GetFieldAlias(const std::string& field) const;
    // The field that an alias names, or the text itself.
    std::string GetFieldName(const std::string& alias) const;

    // Files of a layer made of many files.
    // Sets kManyFiles and appends the file; its index, or -1 (message 1005) when memory runs out.
    int AddFile(const std::string& path, const CMapRect* extent = nullptr);
    int GetFileCount() const { return static_cast<int>(m_files.size()); }
    std::vector<CLayerFileEntry>& Files() { return m_files; }
    const std::vector<CLayerFileEntry>& Files() const { return m_files; }

    // Not stored.
    // Only these records are read when the count is above 0; the caller keeps the array.
    void SetRecordList(const int32_t* records, int count);
    const int32_t* GetRecordList() const { return m_recordList; }
    int GetRecordCount() const { return m_recordCount; }
    // The caller keeps the filter.
    void SetSpatialFilter(CSpatialFilter* filter) { m_spatialFilter = filter; }
    CSpatialFilter* GetSpatialFilter() const { return m_spatialFilter; }
    // Whether a filter that failed to compile is to be reported: the first
    // time for each text; a compiled filter is never reported.
    bool ShouldReportBrokenFilter(bool compiled) const;
    // Whether a data file that would not open, or opened with complaints,
    // is to be reported: once for each path while the layer lives, so a
    // broken file is told of once a map open and not at every redraw. A
    // file that opens cleanly is forgotten.
    bool ShouldReportOpenProblem(const std::string& path, bool problem) const;
    std::vector<CStylePass>& StylePasses() { return m_stylePasses; }
    const std::vector<CStylePass>& StylePasses() const { return m_stylePasses; }
    void SetAttachment(std::unique_ptr<CLayerAttachment> attachment) { m_attachment = std::move(attachment); }
    CLayerAttachment* GetAttachment() const { return m_attachment.get(); }

    // The data file.
    // ".gdb" or ".dbf", or a track.
    bool IsTableFormat() const;
    bool IsDbfLayer() const;
    bool IsVectorType() const { return IsVectorType(m_type); }
    static bool IsVectorType(int type);
    // Shows message 1044 and answers true when the data file is read-only.
    bool CheckReadOnly() const;
    // The attribute table: the track itself, else the path with extension "dbf".
    std::string GetTablePath() const;
    // Opens the attribute table with the layer's hidden fields, which must
    // outlive the table's use of them; message 1007 when it cannot be opened.
    bool OpenTable(CDbfTable& table) const;

    // The files of the layer.
    // The extent of the data: of a layer made of many files the union of
    // its files' usable extents (stored ones as they are, the rest read);
    // of vector, raster and grid files what the file says. False for
    // groups, tracks, other types and files that cannot be read. What a
    // file says while it opens is shown once for each path, as its
    // drawing shows it (ShouldReportOpenProblem).
    bool GetExtent(CMapRect& extent);
    // Empty data files of the layer's type at its path.
    bool CreateDataFiles() const;
    // The folder of the data file, ending with its separator.
    std::string GetDataFolder() const;
    // Packs the layer's files after asking the user; a layer made of many
    // files may also lose the files that hold no objects. True when it was
    // carried out.
    bool Pack();
    // Deletes the data file and the files that belong with it; every
    // failure is shown. False when the data file itself stays.
    bool DeleteFiles();

    // Points a layer made of many files at one of them, kManyFiles
    // cleared, so single-file operations serve each file; path and flags
    // come back when it ends.
    class COneFileScope {
    public:
        explicit COneFileScope(CLayer& layer);
        ~COneFileScope();
        COneFileScope(const COneFileScope&) = delete;
        COneFileScope& operator=(const COneFileScope&) = delete;
        void SetFile(const std::string& path) { m_layer.SetPath(path); }

    private:
        CLayer& m_layer;
        std::string m_path;
        uint32_t m_flags;
    };

    // Values of one attribute field over the records of the attribute table.
    enum ValueOptions : unsigned {
        kSkipEmpty = 0x01,
        kSortValues = 0x02,
        kUniqueValues = 0x04, // equal neighbours removed after sorting
        kApplyFilter = 0x08,  // the layer's filter text
        kFieldList = 0x10,    // texts only: TAB-separated field names, each value their texts joined by TAB
        kIsoDates = 0x20,     // a single date field's texts as yyyy-mm-dd, as conditions write dates
    };
    // The field's texts (at most 255 characters a field) of the live
    // records in record order, and their record numbers. Sorting is by
    // bytes: without an order list the texts themselves are sorted (the
    // record numbers stay in record order); with one, the texts stay and
    // the order list gets their sorted indexes, kUniqueValues dropping the
    // indexes of repeated texts. OEM text is converted for a single field.
    // False when the table cannot be opened, a single field is missing or
    // kApplyFilter meets a filter that does not compile.
    bool GetFieldTextValues(const std::string& field, std::vector<std::string>& values, unsigned options,
                            std::vector<int>* records = nullptr, std::vector<int>* order = nullptr,
                            bool fromOem = false) const;
    // The same over the texts read as numbers (an empty text is 0 unless skipped).
    bool GetFieldNumberValues(const std::string& field, std::vector<double>& values, unsigned options,
                              std::vector<int>* records = nullptr, std::vector<int>* order = nullptr) const;
    // The smallest and largest number of the field over the live records,
    // the layer's filter not applied; false when no value was read.
    bool GetFieldRange(const std::string& field, double& minimum, double& maximum, bool skipEmpty) const;
    // Replaces the classes of the list by classes of its kind built from
    // the field's values, ending with the class for other values: one class
    // per distinct value, or for ranges classCount classes of equal counts
    // of values or of equal intervals (bounds at the field's decimals,
    // holding the minimum and maximum). 0, and no classes, when a range
    // classification is asked for fewer than 1 class or quantiles find no values.
    int BuildClassification(const std::string& field, CThemeClassList& classes, int classCount,
                            bool equalIntervals) const;

    // Sublayers, sorted by ascending lower limit.
    int GetSublayerCount() const { return static_cast<int>(m_sublayers.size()); }
    // Null outside 0..count-1.
    CSublayer* GetSublayer(int index) const;
    // The sublayer in force at a scale denominator: the last whose limit is
    // below the rounded scale (a rounded 0 counts as 1); null or -1 when none.
    CSublayer* GetSublayerForScale(double scale) const;
    int GetSublayerIndexForScale(double scale) const;
    // A new sublayer at the limit, copied from the one below it (a default
    // one when it becomes the first); false when the limit exists.
    bool AddSublayer(int32_t limit);
    int FindSublayer(int32_t limit) const;
    // Removes the sublayer of the limit; a lower neighbour of kind 0 first
    // takes over its look. False when no sublayer has the limit.
    bool RemoveSublayer(int32_t limit);
    // The reset style of the type, then the style of the sublayer in force; false when none is.
    bool GetStyleForScale(double scale, CStyleRecord& out) const;
    // The style of a record at a scale: of a classified sublayer in force
    // whose field the table has, the class of the record's value (null when
    // no class holds it); else the sublayer's own; null when none is in
    // force. Record -1 takes the record the table stands on.
    const CStyleRecord* GetRecordStyle(double scale, CDbfTable& table, int record) const;
    bool SublayerScalesMatch(const CLayer& other) const;
    // Label settings of each sublayer onto the other's, when the counts match.
    void CopySublayerLabels(CLayer& other) const;
    // Styles of each sublayer onto the other's, whose list is first made
    // like this one's when the counts differ.
    void CopySublayers(CLayer& other) const;
    // Takes ownership; the caller keeps the order.
    void AppendSublayer(std::unique_ptr<CSublayer> sublayer);
    void RemoveAllSublayers();

private:
    // The extent the one file of m_path says it has; whether it opened.
    bool ReadFileExtent(CMapRect& extent, bool& opened) const;

    std::vector<std::string> m_hiddenFields;
    CStringMap m_fieldAliases;
    std::unique_ptr<CLayerAttachment> m_attachment;
    std::vector<CStylePass> m_stylePasses;
    const int32_t* m_recordList = nullptr;
    int m_recordCount = 0;
    CSpatialFilter* m_spatialFilter = nullptr;
    std::vector<std::unique_ptr<CSublayer>> m_sublayers;
    CMapRect m_extent = kUnboundedExtent;
    std::string m_name;
    std::string m_path;
    std::string m_idField;
    std::string m_filter;
    std::string m_notes;
    int16_t m_type = kPoint;
    uint32_t m_flags = 0;
    int32_t m_redrawInterval = 0;
    int32_t m_memberCount = 0;
    std::vector<CLayerFileEntry> m_files;
    // The filter text last reported as not compiling.
    mutable std::string m_reportedFilter;
    // Data files reported as not opening.
    mutable std::vector<std::string> m_reportedFiles;
};
