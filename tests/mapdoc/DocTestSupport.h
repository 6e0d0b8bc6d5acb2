#pragma once

#include "layers/Layer.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/LayerDataAccess.h"
#include "platform/Codepage.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

// One log that the host, the extension and the administrative-search
// settings below all write to, so tests see the order of the calls.
using CCallLog = std::vector<std::string>;

// A view that records every hint.
class CHintRecorder : public IDocumentObserver {
public:
    explicit CHintRecorder(CDrelDoc& document) : m_document(document) { document.AddObserver(this); }
    ~CHintRecorder() override { m_document.RemoveObserver(this); }
    void OnUpdate(CDrelDoc&, uint32_t hint) override { hints.push_back(hint); }

    std::vector<uint32_t> hints;

private:
    CDrelDoc& m_document;
};

class CRecordingAdminSearch : public IAdminSearchSettings {
public:
    explicit CRecordingAdminSearch(CCallLog& log) : m_log(log) {}
    void Load(const std::string& iniPath) override { m_log.push_back("admin load " + iniPath); }
    bool Save(const std::string& iniPath) override
    {
        m_log.push_back("admin save " + iniPath);
        return true;
    }
    void FillCounties(CDrelDoc&) override { m_log.push_back("admin counties"); }

private:
    CCallLog& m_log;
};

// The application around the document, answering from its members.
// Installed for its lifetime.
class CRecordingHost : public IDocumentHost {
public:
    explicit CRecordingHost(CCallLog& log) : m_log(log) { SetDocumentHost(this); }
    ~CRecordingHost() override { SetDocumentHost(nullptr); }

    std::unique_ptr<IAdminSearchSettings> CreateAdminSearchSettings(CDrelDoc&) override
    {
        return withAdminSearch ? std::make_unique<CRecordingAdminSearch>(m_log) : nullptr;
    }
    bool HasAdminSearchBar() const override { return adminSearchBar; }
    CLayer* GetOpenLegendGroup(const CDrelDoc&) override { return openGroup; }
    void FillPlacesBox(CDrelDoc&, const std::vector<std::string>& names) override
    {
        placesBox = names;
        m_log.push_back("places box");
    }
    void OnDocumentDestroyed(CDrelDoc&) override { m_log.push_back("destroyed"); }
    std::vector<CDrelDoc*> GetOpenMaps() override { return openMaps; }
    void SetCoordinateText(const std::string& text) override { coordinateText = text; }
    bool IsLayerBeingEdited(const CLayer& layer) override { return &layer == editedLayer; }
    bool IsAttributeTableOpen(const CLayer& layer) override { return &layer == layerWithTable; }
    void CloseTableDocuments(CDrelDoc&) override { m_log.push_back("close tables"); }
    bool CanLeaveTools(CDrelDoc&) override
    {
        m_log.push_back("leave tools");
        return toolsMayBeLeft;
    }
    bool SaveModifiedDocument(CDrelDoc&) override
    {
        m_log.push_back("save question");
        return true;
    }

    bool withAdminSearch = false;
    bool adminSearchBar = false;
    CLayer* openGroup = nullptr;
    const CLayer* editedLayer = nullptr;
    const CLayer* layerWithTable = nullptr;
    bool toolsMayBeLeft = true;
    std::vector<std::string> placesBox;
    std::string coordinateText;
    std::vector<CDrelDoc*> openMaps;

private:
    CCallLog& m_log;
};

// Data files that exist only as entries of its tables. Installed for its lifetime.
class CFakeLayerData : public ILayerDataAccess {
public:
    CFakeLayerData() { SetLayerDataAccess(this); }
    ~CFakeLayerData() override { SetLayerDataAccess(nullptr); }

    bool ReadVectorFileInfo(const std::string& path, CVectorFileInfo& info) override
    {
        return Find(vectorFiles, path, info);
    }
    bool ReadRasterExtent(const std::string& path, CMapRect& extent) override
    {
        return Find(pictures, path, extent);
    }
    bool ReadGridInfo(const std::string& path, CMapRect& extent, int& cellKind) override
    {
        std::pair<CMapRect, int> grid;
        if (!Find(grids, path, grid))
            return false;
        std::tie(extent, cellKind) = grid;
        return true;
    }
    bool ComputeLayerExtent(CLayer& layer, CMapRect& extent) override
    {
        extentsAsked.push_back(layer.GetName());
        return Find(layerExtents, layer.GetName(), extent);
    }
    bool DeleteLayerFiles(CLayer& layer) override
    {
        deleted.push_back(layer.GetName());
        return true;
    }

    std::map<std::string, CVectorFileInfo> vectorFiles;
    std::map<std::string, CMapRect> pictures;
    std::map<std::string, std::pair<CMapRect, int>> grids;
    std::map<std::string, CMapRect> layerExtents; // by layer name
    std::vector<std::string> extentsAsked;
    std::vector<std::string> deleted;

private:
    template <class T>
    static bool Find(const std::map<std::string, T>& table, const std::string& key, T& value)
    {
        auto it = table.find(key);
        if (it == table.end())
            return false;
        value = it->second;
        return true;
    }
};

inline std::string Cp(const char* utf8)
{
    return Utf8ToCp1257(utf8);
}

// A plain layer of the type with the flags.
inline std::unique_ptr<CLayer> MakeLayer(const std::string& name, int type = CLayer::kPoint,
                                         uint32_t flags = CLayer::kDefaultFlags)
{
    auto layer = std::make_unique<CLayer>(name, "C:\\data\\" + name + ".gdb", type);
    layer->SetFlags(flags);
    return layer;
}

// A group entry with its direct member count, as the legend makes it.
inline std::unique_ptr<CLayer> MakeGroup(const std::string& name, int members, uint32_t flags = 0)
{
    auto group = std::make_unique<CLayer>(name, "", -1);
    group->SetFlags(CLayer::kGroup | CLayer::kWorking | flags);
    group->SetMemberCount(members);
    return group;
}

// The names of the document's layers in list order.
inline std::vector<std::string> LayerNames(const CDrelDoc& document)
{
    std::vector<std::string> names;
    for (int i = 0; i < document.GetLayerCount(); ++i)
        names.push_back(document.GetLayer(i)->GetName());
    return names;
}

// An extension that logs the document hooks. Installed for its lifetime.
class CLoggingExtension : public CExtensionHooks {
public:
    explicit CLoggingExtension(CCallLog& log) : m_log(log) { SetExtension(this); }
    ~CLoggingExtension() override { SetExtension(nullptr); }
    void OnNewDocument(CDrelDoc*) override { m_log.push_back("extension new"); }
    void OnOpenDocument(CDrelDoc* document, const std::string& path) override
    {
        m_log.push_back("extension open " + path);
        if (whileOpening)
            whileOpening(*document);
    }
    void OnSaveDocument(CDrelDoc* document, const std::string& path) override
    {
        m_log.push_back("extension save " + path);
        if (whileSaving)
            whileSaving(*document);
    }

    std::function<void(CDrelDoc&)> whileOpening;
    std::function<void(CDrelDoc&)> whileSaving;

private:
    CCallLog& m_log;
};
