#pragma once

#include "core/CoordConverter.h"
#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "layers/LayerArray.h"
#include "mapdoc/AdminSearchSettings.h"
#include "mapdoc/BufferZoneSet.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/MapSettings.h"
#include "mapdoc/RouteSettings.h"
#include "mapdoc/StreetLookup.h"
#include "platform/CommandTarget.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CIniFile;
class CMapPointArray;
class CDrelView;
class CShape;

// One open map: its layer list (the map file), the settings kept in the
// settings file beside it (same name, extension "ini"), the saved places,
// the buffer zones and the coordinate-system transforms. Every change of the layer list
// goes through the document, which marks itself modified and tells its
// views through update hints.
//
// Legend groups live in the flat layer list: a group entry (kGroup) is
// followed by its direct members, a nested group counting as one member
// followed by its own. The span of a group is the number of entries after
// it that belong to it; a plain layer has span 0.
//
// The document is the target of its own commands (the buffer zones').
class CDrelDoc : public CCommandTable {
public:
    // Kinds of data files for AddLayerFromFile.
    enum FileKind { kVectorFile = 1, kPictureFile = 4, kPictureFile2 = 5, kGridFile = 6 };

    CDrelDoc();
    ~CDrelDoc() override;
    CDrelDoc(const CDrelDoc&) = delete;
    CDrelDoc& operator=(const CDrelDoc&) = delete;

    // The map file, then its settings file. False (message shown) when the
    // map cannot be read; the settings file is not touched then.
    bool OnOpenDocument(const std::string& path);
    // The settings file, then the map file. When the map cannot be written
    // the settings file is put back as it was; false (message shown).
    bool OnSaveDocument(const std::string& path);
    void OnCloseDocument();
    // Every map view's tool may be left, then the question to save.
    bool SaveModified();
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(std::string path) { m_pathName = std::move(path); }
    // The settings file of a map file.
    static std::string GetSettingsFilePath(const std::string& mapPath);

    void AddObserver(IDocumentObserver* observer);
    void RemoveObserver(IDocumentObserver* observer);
    // Every view but the sender hears the hint.
    void UpdateAllViews(uint32_t hint, const IDocumentObserver* sender = nullptr);

    // Layer list.
    CLayerArray& Layers() { return m_layers; }
    const CLayerArray& Layers() const { return m_layers; }
    int GetLayerCount() const { return m_layers.GetSize(); }
    // Null outside 0..count-1.
    CLayer* GetLayer(int index) const { return m_layers.GetAt(index); }
    int FindLayerIndex(const CLayer* layer) const { return m_layers.Find(layer); }
    // Takes the layer with a unique name into the legend's open group, or
    // to the end. With notify the views hear of it and the map is modified.
    int AddLayer(std::unique_ptr<CLayer> layer, bool notify);
    // Unique name, then inserted at 0..count; no hint, no modified flag.
    bool InsertLayerAt(std::unique_ptr<CLayer> layer, int index);
    // Moves the entry with its span directly before the target, or after
    // the target's span; to the end for a null target. Member counts are
    // the caller's business.
    void MoveLayer(CLayer* entry, CLayer* target, bool after);
    // Moves the entry with its span after the group's last member (a null
    // group: to the end of the list, at the top level), the member counts
    // and the groups' visibility following. False, nothing moved, for an
    // entry not in the list and for a group into itself or its subgroups.
    bool MoveLayerIntoGroup(CLayer* entry, CLayer* group);
    // Removes the entry (a group with its members, or leaving them to its
    // parent); the entry is deleted. False when it is not in the list.
    bool RemoveLayer(CLayer* entry, bool deleteFiles, bool withMembers, bool redraw);
    // False (message shown) while the layer is edited or its table is open.
    bool CanRemoveLayer(const CLayer& layer) const;
    void SetLayerVisible(CLayer* entry, bool visible);
    CLayer* GetParentGroup(const CLayer* entry) const;
    int GetGroupSpan(const CLayer* entry) const;
    // -1 empty span (or no group), 0 none shown, 1 all, 2 some; the group's
    // flags follow, then those of its enclosing groups.
    int UpdateGroupVisibility(CLayer* group);
    // "%s (%1d)" from 2 upward while another layer has the name; true when changed.
    bool MakeUniqueLayerName(std::string& name) const;
    bool IsLayerShownInLegend(const CLayer* layer, bool withGroups) const;
    // The union of the layers' extents; false when there is none.
    bool GetLayersExtent(CMapRect& extent);
    // A free layer name and a free ".gdb" file in the map folder, from the
    // base name ("%s_%1d.gdb") or, without one, "Layer%1d".
    void SuggestNewLayerNames(std::string& name, std::string& path, const std::string& base) const;
    // False after message 1074 when a new layer's data file at the path
    // would write over data of a layer of an open map (a layer's files
    // share its data file's folder and title) or over a map file or its
    // settings file. New layers and the layer dialogs check through it.
    bool CheckNewLayerPath(const std::string& path) const;
    // The map's folder with its separator; without a map the current folder.
    std::string GetMapDirectory() const;
    // Adds an existing data file as a layer named after it (or name) and
    // grows the map extent; null when the file could not be read.
    CLayer* AddLayerFromFile(const std::string& path, int kind, const std::string& name = {});
    // With AutoRecalcMapExtent set, the map extent takes in the layer's;
    // true (modified, hint 7) when it changed.
    bool GrowMapExtent(const CLayer& layer);

    // Layers named in the settings; null after a message when unset,
    // missing or of the wrong type.
    CLayer* GetRoutesLayer() const;
    CLayer* GetStreetsLayer() const;
    CLayer* GetAddressesLayer() const;
    // True when a routing layer was found.
    bool GetRouteSettings(CRouteSettings& settings) const;

    // Street and address lookup (the address toolbar's boxes through the document host).
    CStreetLookup& Streets() { return m_streets; }
    const CStreetLookup& Streets() const { return m_streets; }
    bool LoadStreetNames() { return m_streets.LoadStreetNames(); }
    bool FillCityStreetCombos(bool streetsOnly) { return m_streets.FillCityStreetCombos(streetsOnly); }
    bool LoadAddressTable(CAddressTable& table, int64_t streetCode)
    {
        return m_streets.LoadAddressTable(table, streetCode);
    }
    bool CollectStreetAddresses(int64_t streetCode, std::string_view text, CAddressResult& result)
    {
        return m_streets.CollectStreetAddresses(streetCode, text, result);
    }
    void LabelStreetAddresses(int64_t streetCode, CDrelView& view) { m_streets.LabelStreetAddresses(streetCode, view); }
    int64_t GetStreetCode(int record) { return m_streets.GetStreetCode(record); }
    // A map window of the document was activated: the main frame's address,
    // administrative-search and places boxes show this map.
    void OnMapFrameActivate(bool active) { m_streets.OnMapFrameActivate(active); }
    void OnAdminComboSelChange(int id) { m_streets.OnAdminComboSelChange(id); }

    // The placemark layer: the point ".dbf" layer named in the settings, or
    // "My Placemarks", or a new one made in the map folder; null when there
    // is no usable one and none could be made.
    CLayer* GetPlacemarksLayer();
    // The layer named in the settings exists and is a point ".dbf" layer.
    bool HasPlacemarksLayer() const;
    // Appends a placemark at the map point and lets the user describe it;
    // false when there is no writable placemark layer or the user cancelled
    // (the record is then gone again).
    bool AddPlacemark(const CMapPoint& point);
    // The same with the point stored as given (a GPS position in degrees).
    bool AddPlacemarkAt(const CMapPoint& point);
    // Appends the placemark to the layer's file (through the map's
    // transforms when asked) and runs the placemark dialog on it: on OK the
    // views redraw, on Cancel the record is deleted again.
    bool AppendPlacemark(CLayer& layer, const CMapPoint& point, bool transform);

    // Saved places.
    void AddBookmark(const std::string& name, const CMapRect& extent);
    // The first of exactly that name.
    bool FindBookmark(const std::string& name, CMapRect& extent) const;
    bool DeleteBookmark(const std::string& name);
    // By position, so names differing in letter case only stay apart;
    // false for an index that is no place.
    bool DeleteBookmarkAt(int index);
    void DeleteAllBookmarks();
    int GetBookmarkCount() const { return static_cast<int>(m_bookmarkNames.size()); }
    const std::string& GetBookmarkName(int index) const { return m_bookmarkNames.at(static_cast<size_t>(index)); }
    const CMapRect& GetBookmarkExtent(int index) const { return m_bookmarkExtents.at(static_cast<size_t>(index)); }
    void FillBookmarkCombo();

    // Coordinate system of the map (0 none) and its transforms.
    int GetCoordSystem() const { return m_coordSystem; }
    void SetCoordSystem(int code);
    void GeoToMap(CMapPoint& point) const;
    void MapToGeo(CMapPoint& point) const;
    // Null when the map is in degrees.
    const CCoordConverter* GetGeoToMapConverter() const { return m_toMap.get(); }
    const CCoordConverter* GetMapToGeoConverter() const { return m_toGeo.get(); }

    // Measures in kilometres and square kilometres, by the map units.
    void GetMetresPerUnit(double& x, double& y) const;
    double GetDistanceKm(const CMapPoint& a, const CMapPoint& b) const;
    double GetShapeLengthKm(const CShape& shape) const;
    double GetShapeAreaKm2(const CShape& shape) const;
    double GetRingAreaKm2(const CMapPointArray& points) const;
    double GetRingPerimeterKm(const CMapPointArray& points) const;
    // Degrees clockwise from north.
    double GetAzimuth(const CMapPoint& a, const CMapPoint& b) const;
    // The point as the status bar shows it; empty for degrees out of range.
    std::string FormatCoordinates(const CMapPoint& point) const;
    void ShowCoordinates(const CMapPoint& point) const;

    CMapSettings& Settings() { return m_settings; }
    const CMapSettings& Settings() const { return m_settings; }
    double GetMetresPerDegreeX() const { return m_metresPerDegreeX; }
    double GetMetresPerDegreeY() const { return m_metresPerDegreeY; }
    // The views never zoom below it.
    double GetMinUnitsPerPixel() const { return m_minUnitsPerPixel; }
    void SetMinUnitsPerPixel(double minimum) { m_minUnitsPerPixel = minimum; }
    IAdminSearchSettings* GetAdminSearchSettings() const { return m_adminSearch.get(); }
    // The zones of the buffer-zone tool, not stored with the map.
    CBufferZoneSet& BufferZones() { return m_bufferZones; }

private:
    void ReadSettings(const CIniFile& ini);
    void WriteSettings(CIniFile& ini) const;
    void ComputeMetresPerDegree();
    int SpanAt(int index) const;
    int ParentIndexOf(int index) const;
    bool PassesLegendType(const CLayer& layer) const;
    CLayer* FindSettingsLayer(const std::string& name, int notSetMessage, int wrongTypeMessage, int type) const;
    double UnitFactor() const;
    CLayer* CreatePlacemarksLayer();

    std::unique_ptr<IAdminSearchSettings> m_adminSearch;
    CBufferZoneSet m_bufferZones{*this};
    double m_minUnitsPerPixel = 1e-6;
    int m_coordSystem = 0;
    CMapSettings m_settings;
    CStreetLookup m_streets{*this};
    std::vector<std::string> m_bookmarkNames;
    std::vector<CMapRect> m_bookmarkExtents;
    CLayerArray m_layers;
    double m_metresPerDegreeX = 63530;
    double m_metresPerDegreeY = 111320;
    std::unique_ptr<CCoordConverter> m_toMap;
    std::unique_ptr<CCoordConverter> m_toGeo;

    std::string m_pathName;
    bool m_modified = false;
    std::vector<IDocumentObserver*> m_observers;
};
