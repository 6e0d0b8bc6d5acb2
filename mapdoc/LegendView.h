#pragma once

#include "mapdoc/DocumentObserver.h"
#include "mapdoc/LegendListOwner.h"
#include "platform/CommandTarget.h"

#include <functional>
#include <string>

class CDrelDoc;
class CDrelView;
class CLayer;
class ILegendList;

// What the legend reaches of its map window.
class ILegendFrame {
public:
    virtual ~ILegendFrame() = default;
    // The map view of the window; null while there is none.
    virtual CDrelView* GetMapView() = 0;
    virtual void FocusMapView() {}
    // The popup menu 388 "Grupė" at the cursor.
    virtual void ShowGroupMenu() {}
    // A command of the map window (copying 30105 and pasting 30106 the
    // description of a layer).
    virtual void SendToMapFrame(int id) {}
};

// The dialogs and services the legend's commands open, which other parts
// of the program provide; a command whose dialog is missing is disabled.
struct CLegendDialogs {
    // Dialog 30787 on a group of the document: its name (which no other
    // entry may have) and its working-group box; true on OK.
    std::function<bool(const CLayer& group, CDrelDoc& document, std::string& name, bool& working)> groupProperties;
    // The property sheet of the legend document's layer on the sublayer in
    // force at the scale (rounded), which also becomes the base scale of
    // scale-dependent symbols and labels; true on OK.
    std::function<bool(CLayer& layer, CDrelDoc& document, double scale)> layerProperties;
    // Dialog 30765: one file of a layer made of many files becomes its
    // path; false when cancelled.
    std::function<bool(CLayer& layer)> chooseLayerFile;
    // Dialog 134: the layer's objects listed, the chosen ones marked on the view.
    std::function<void(CLayer& layer, CDrelView& view)> objectList;
    // The attribute table window of the layer.
    std::function<void(CLayer& layer)> attributeTable;
    // Dialog 30724 on the streets layer: the street marked or the address shown.
    std::function<void(CLayer& streets, CDrelView& view)> findStreet;
    // Dialog 328: -1 cancelled, 0 the group alone, 1 with its layers, 2
    // with their files as well.
    std::function<int(const CLayer& group)> removeGroup;
    // Dialog 242: false when cancelled; the box "Pašalinti sluoksnio failus iš disko".
    std::function<bool(const CLayer& layer, bool& deleteFiles)> removeLayer;
};

// The legend of a map window: one row per layer or group of the map with a
// box that shows and hides it, the selected row being the active layer of
// the window. It lists the top of the layer list or the contents of one
// open group, and turns the rows dragged in its list into moves of the
// document's layers. The list (which toggles boxes itself) reports to it
// as its owner; its commands stand in Commands() for the window's route.
class CLegendView : public ILegendListOwner, public IDocumentObserver, public ICommandTarget {
public:
    CLegendView(CDrelDoc& document, ILegendList& list, ILegendFrame& frame);
    ~CLegendView() override;
    CLegendView(const CLegendView&) = delete;
    CLegendView& operator=(const CLegendView&) = delete;

    CDrelDoc& GetDocument() const { return m_document; }
    void SetDialogs(CLegendDialogs dialogs) { m_dialogs = std::move(dialogs); }
    CCommandTable& Commands() { return m_commands; }

    // The entry of the selected row; null when none is selected.
    CLayer* GetActiveLayer() const;
    // Selects the entry's row, opening the entry's group when it is not
    // listed; null clears the selection.
    void SelectLayer(CLayer* layer);
    // The group whose contents are listed; null at the top.
    CLayer* GetOpenGroup() const { return m_openGroup; }
    int IsGroupOpen() const { return m_groupOpen; }
    // Fills the list anew, keeping the selected entry selected.
    void RebuildList();
    // The entry's row after a change of the entry.
    void RefreshItem(CLayer* entry);
    void OnInitialUpdate() { RebuildList(); }
    void OnUpdate(CDrelDoc& document, uint32_t hint) override;
    // The scale denominator of the window's map view; 0 without one.
    double GetFrameMapScale() const;

    // The list's reports.
    double GetLegendScale() const override { return GetFrameMapScale(); }
    void OnLayerDrop(const CLayerDrop& drop) override;
    void OnCheckChange(int row) override;
    void OnSelectionChange() override;
    void OnListCommand(int id) override { m_commands.OnCommand(id); }
    void OnListKey(int virtualKey) override;

    bool OnCommand(int id) override { return m_commands.OnCommand(id); }
    bool OnUpdateCommand(CCommandState& state) override { return m_commands.OnUpdateCommand(state); }
    bool HandlesCommand(int id) const override { return m_commands.HandlesCommand(id); }

private:
    void RegisterCommands();
    // Without the entry about to be removed: a group's members, if it
    // still has them, stand at its level.
    void FillList(const CLayer* removing);
    void Rebuild(const CLayer* removing);
    void AddRow(CLayer* entry);
    int NewRowIndex() const;
    // The selected entry, or null after message 1022.
    CLayer* SelectedOrMessage() const;
    void EditProperties();
    void ShowObjectList();
    void Remove();
    void ToggleClasses();
    void OpenSelectedGroup();
    void GoUp();
    void SetLegendType(int type);

    CDrelDoc& m_document;
    ILegendList& m_list;
    ILegendFrame& m_frame;
    CLegendDialogs m_dialogs;
    CCommandTable m_commands;
    int m_groupOpen = 0;
    CLayer* m_openGroup = nullptr;
};
