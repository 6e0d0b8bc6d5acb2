#pragma once

#include <functional>
#include <string>

class CCommandTable;
class CDrelDoc;
class CDrelView;
class CLayer;

// What the commands of a map window reach of the window.
class IMapFrameContext {
public:
    virtual ~IMapFrameContext() = default;
    virtual CDrelDoc& GetMapDocument() = 0;
    // Null while the window has no map view.
    virtual CDrelView* GetMapView() = 0;
    // The legend's selected entry; null when none is.
    virtual CLayer* GetActiveLayer() = 0;
    // The text of the main frame's places box (code page 1257).
    virtual std::string GetPlacesBoxText() { return {}; }
};

// The dialogs of other parts of the program that the map window's
// commands open; a command whose dialog is missing is disabled.
struct CMapFrameDialogs {
    // The name of a new place; false when cancelled.
    std::function<bool(std::string& name)> placeName;
    // The places manager over the document's places.
    std::function<void(CDrelDoc& document)> places;
    // The name and data file of a new layer of the type, both proposed;
    // false when cancelled.
    std::function<bool(CDrelDoc& document, std::string& name, std::string& path, int type)> newLayer;
};

// The command table of a map window: each command reaches the map view,
// the document, the layer selected in the legend or a dialog of another
// part of the program, enabled by its rule. Commands whose work the
// program does not have yet are disabled here, and the folders that bring
// the work register their handlers over them (CCommandRegistry). The
// tool commands set the tool mode; their check marks follow it.
class CMapFrameCommands {
public:
    static constexpr int kMaxPlaces = 100;

    CMapFrameCommands(IMapFrameContext& frame, const CMapFrameDialogs& dialogs);

    void Install(CCommandTable& table);

    // 30489: a new place of the view's visible extent under a name asked.
    void RememberPlace();
    // 30491 + index; nothing for an index outside the places.
    void ShowPlace(int index);
    // 30608: the place named in the places box, letter case ignored.
    void ShowNamedPlace();
    // 30105, 30106.
    void CopyLayer();
    void PasteLayer();
    // 30484.
    void NewLayerByExample();
    // 30104: the map as the view shows it, as a picture.
    void CopyMap();

private:
    // The selected entry, or null after message 1022.
    CLayer* LayerOrMessage();
    int FindPlaceNoCase(const std::string& name) const;

    IMapFrameContext& m_frame;
    const CMapFrameDialogs& m_dialogs;
};
