#pragma once

#include "core/MapPoint.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCoordConverter;
class CDrelDoc;
class CFeatureSource;
class CLayer;

// What the import dialog (194) answers: a new layer, or the objects added
// to the layer of that name, with an optional coordinate transformation.
struct CLayerImportChoice {
    bool attach = false;
    std::string layerName;
    std::unique_ptr<CCoordConverter> converter;
};

// What the new-layer dialog (102) is told, and what it tells besides the
// names and the type.
struct CNewLayerOptions {
    // The type may be chosen; else it shows the one given.
    bool typeChoice = true;
    // The file types "F&ailai..." offers: 1 GDB, 2 DBF, 4 track, 8 Shapefile.
    int fileTypes = 3;
    // Out: the file existed and the user agreed to replace it (message 2000).
    bool replaceConfirmed = false;
};

// What the layer-file dialog (30772) is told, and what it tells besides the
// names.
struct CLayerFileOptions {
    // The file types "F&ailai..." offers: GDB, DBF and track files; else
    // elevation models; else DBF files alone.
    bool vectorFiles = false;
    bool elevationFiles = false;
    // Out: the file existed and the user agreed to replace it (message 2000).
    bool replaceConfirmed = false;
};

// A new layer's data file may be written: no layer of an open map uses it
// (CDrelDoc::CheckNewLayerPath) and no file of the layer is there, unless
// the user agreed to replace the data file, which then goes whole with its
// own companions. Else false after message 1074.
bool CheckNewLayerFiles(const CDrelDoc& document, const std::string& path, bool replaceConfirmed);

// The dialogs of other parts of the program that the document commands
// open; a command whose dialog is missing does nothing.
struct CDocCommandDialogs {
    // 102: name, data file and layer type, all proposed; false when cancelled.
    std::function<bool(CDrelDoc& document, std::string& name, std::string& path, int& type,
                       CNewLayerOptions& options)>
        newLayer;
    // 30772: name and data file, no type.
    std::function<bool(CDrelDoc& document, std::string& name, std::string& path, CLayerFileOptions& options)>
        layerFile;
    // 194 on the file to import.
    std::function<bool(CDrelDoc& document, const std::string& path, CLayerImportChoice& choice)> layerImport;
    // 30788: the proposed group name, which no entry of the document has.
    std::function<bool(CDrelDoc& document, std::string& name)> groupName;
    // 308: the date (days since 30 December 1899) before which track records go.
    std::function<bool(double& date)> archiveDate;
    // The map property sheet on the document; true on OK.
    std::function<bool(CDrelDoc& document)> mapProperties;
    // 354: the layer that GPS data are saved into, preset; true on OK.
    std::function<bool(CDrelDoc& document, std::string& layerName)> gpsSaveParams;
    // The dialogs that do their work themselves: the coordinate grid (358),
    // the administrative-search parameters, the distance calculator (30820),
    // and dialog 194 on a table of addresses.
    std::function<void(CDrelDoc& document)> coordinateGrid;
    std::function<void(CDrelDoc& document)> adminSearchParams;
    std::function<void(CDrelDoc& document)> distanceCalculator;
    std::function<void(CDrelDoc& document, const std::string& path)> addressImport;
};

// The services of geoprocessing and GPS that the commands call. Missing
// ones make their commands do nothing.
struct CDocCommandServices {
    // Moves the track layer's records older than the date out of it: 0
    // failure, 1 records moved, other values nothing changed.
    std::function<int(CLayer& layer, double date)> archiveOldTrackData;
    // The current track file exists and holds a record.
    std::function<bool()> trackFileHasRecords;
    // The recorded track as a new table at the path (overwritten); false when it cannot.
    std::function<bool(const std::string& path)> copyTrackFile;
    // The current track file loses its records.
    std::function<void()> clearTrackFile;
    // The path of the current track file (made when missing).
    std::function<std::string()> currentTrackFile;
    // A placemark at the map point; by default the document's own placemark adding.
    std::function<bool(CDrelDoc& document, const CMapPoint& point)> addPlacemark;
    // 1 when a picture plug-in reads files of the extension; by default
    // the picture loader answers.
    std::function<int(const std::string& extension)> imagePluginPresent;
};

// The commands that change a map document as a whole: new, added and
// imported layers, groups, archiving of track layers, the GPS track and
// waypoints. Long work shows a progress window with a cancel button; a
// cancelled or failed new layer leaves neither a layer nor its files, and
// files it replaces stay as they were until the new ones are whole
// (CResultFiles).
class CDocCommands {
public:
    // Filter indexes of the import dialog, from 1.
    enum ImportFilter : int { kImportVector = 1, kImportGdb, kImportShp, kImportDxf, kImportDbf, kImportText,
                              kImportNmea, kImportAsciiGrid };
    // What the import reads a file as.
    enum ImportKind : int { kUnknownKind = 1, kLegacyGdbKind = 2, kShapefileKind = 3, kDxfKind = 4,
                            kDbfKind = 5, kTextKind = 6, kNmeaKind = 7, kAsciiGridKind = 8 };
    enum Result : int { kNothing, kDone, kDoneFirstExtent };

    static const char kImportFilter[];
    static const char kTrackNameFormat[];
    static const char kAddressFilter[];

    CDocCommands(CDrelDoc& document, const CDocCommandDialogs& dialogs, const CDocCommandServices& services);

    // 30069: an empty layer of the chosen type under the proposed names.
    bool CreateNewLayer();
    // 30070's filter: without the "SID" plug-in its entry is gone for the
    // rest of the process (decided on the first call).
    std::string GetAddLayerFilter() const;
    static std::string MakeAddLayerFilter(bool sidPluginPresent);
    // Every file as a layer by its extension; the layers added.
    int AddLayerFiles(const std::vector<std::string>& paths);
    // The kind of AddLayerFromFile for a file's extension.
    static int GetFileKind(const std::string& path);
    // 30088 on the chosen file; kDoneFirstExtent asks the caller to show
    // the full extent, which the map had none of before.
    static int GetImportKind(int filterIndex, const std::string& path);
    Result ImportLayer(const std::string& path, int filterIndex);
    // 30302: a group entry of a unique name, visible and working.
    bool CreateGroup();
    // 30278: every track layer loses its records older than the date asked,
    // but for the one of the file the recorder writes, which is told of.
    bool ArchiveTrackLayers();
    // 30629: the recorded track as a new track layer.
    bool SaveTrack();
    bool CanSaveFixAsPlacemark() const;
    // 30340: a placemark at the current GPS fix.
    bool SaveFixAsPlacemark();
    // An empty point layer (a track layer for a track file) for GPS
    // records; without name or path they are proposed and asked.
    CLayer* CreateWaypointsLayer(std::string name, std::string path);

    // 30025 and 30341: the document is modified on OK.
    bool EditMapProperties();
    bool EditGpsSaveParams();
    // 30012 is enabled while the map names a streets layer.
    bool HasStreetsLayer() const;

    // CheckNewLayerFiles on the document.
    bool CheckNewDataPath(const std::string& path, bool replaceConfirmed = false) const;

private:
    Result ImportLegacyTable(const std::string& path);
    Result ImportThroughSource(const std::string& path);
    Result AttachTo(CLayer& layer, CFeatureSource& source);
    // The new layer of the source's objects after dialog 102; the base
    // names the proposals.
    Result ImportAsNewLayer(CFeatureSource& source, const std::string& base);
    Result ImportAsciiGridFile(const std::string& path);
    // The layer's extent as its data gives it.
    void RefreshExtent(CLayer& layer);

    CDrelDoc& m_document;
    const CDocCommandDialogs& m_dialogs;
    const CDocCommandServices& m_services;
};
