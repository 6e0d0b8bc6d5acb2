#include "mapdoc/LegendView.h"

#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/LegendList.h"
#include "mapdoc/ViewHost.h"
#include "platform/UserServices.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

enum LegendCommand : int {
    kCmdAutoUpdate = 30007,
    kCmdAllLayers = 30008,
    kCmdWorkingLayers = 30009,
    kCmdVisibleWorkingLayers = 30010,
    kCmdFindStreet = 30019,
    kCmdProperties = 30066,
    kCmdObjectList = 30067,
    kCmdAttributeTable = 30068,
    kCmdRemove = 30071,
    kCmdCopyLayer = 30105,
    kCmdPasteLayer = 30106,
    kCmdClassesInLegend = 30193,
    kCmdOpenGroup = 30267,
    kCmdParentGroup = 30268,
    kCmdGroupAllOn = 30487,
    kCmdGroupAllOff = 30488,
    kCmdEditCopy = 57634,
    kCmdEditPaste = 57637,
};

enum LegendMessage : int {
    kNoLayerSelected = 1022,
    kLayerHasNoObjects = 1058,
    kDeleteFilesQuestion = 2008,
};

enum RemoveGroupChoice : int { kGroupOnly = 0, kWithLayers = 1, kWithFiles = 2 };

bool IsGroup(const CLayer* entry)
{
    return entry && entry->HasFlag(CLayer::kGroup);
}

void AddMembers(CLayer* group, int delta)
{
    if (!group)
        return;
    const int64_t count = static_cast<int64_t>(std::max(group->GetMemberCount(), 0)) + delta;
    group->SetMemberCount(static_cast<int32_t>(std::clamp<int64_t>(count, 0, INT32_MAX)));
}

} // namespace

CLegendView::CLegendView(CDrelDoc& document, ILegendList& list, ILegendFrame& frame)
    : m_document(document), m_list(list), m_frame(frame)
{
    RegisterCommands();
    m_document.AddObserver(this);
}

CLegendView::~CLegendView()
{
    m_document.RemoveObserver(this);
}

double CLegendView::GetFrameMapScale() const
{
    const CDrelView* view = m_frame.GetMapView();
    return view ? view->GetScaleDenominator() : 0;
}

CLayer* CLegendView::GetActiveLayer() const
{
    return m_list.GetLayer(m_list.GetCurSel());
}

CLayer* CLegendView::SelectedOrMessage() const
{
    CLayer* entry = GetActiveLayer();
    if (!entry)
        AppMessageBox(kNoLayerSelected);
    return entry;
}

void CLegendView::SelectLayer(CLayer* layer)
{
    if (!layer) {
        m_list.SetCurSel(-1);
        return;
    }
    int row = m_list.FindLayer(layer);
    if (row < 0 && m_document.FindLayerIndex(layer) >= 0) {
        CLayer* parent = m_document.GetParentGroup(layer);
        if (parent != m_openGroup) {
            m_openGroup = parent;
            // The entry selected now must not take the list back to its group.
            m_list.SetCurSel(-1);
            RebuildList();
        }
        row = m_list.FindLayer(layer);
    }
    m_list.SetCurSel(row);
}

// ------------------------------------------------------------ rows

int CLegendView::NewRowIndex() const
{
    // Last drawn on top, below the open group's own row.
    if (ViewHost().GetLayerOrderInLegend() == 1)
        return std::min(m_openGroup ? 1 : 0, m_list.GetCount());
    return -1;
}

void CLegendView::AddRow(CLayer* entry)
{
    m_list.InsertLayer(NewRowIndex(), entry, entry->HasFlag(CLayer::kShown) ? 1 : 0);
}

void CLegendView::FillList(const CLayer* removing)
{
    m_list.ResetContent();
    int first = 0, end = m_document.GetLayerCount();
    if (m_openGroup) {
        const int index = m_document.FindLayerIndex(m_openGroup);
        // A group that went, or that the legend no longer shows, leaves the top.
        if (index < 0 || !IsGroup(m_openGroup) || !m_document.IsLayerShownInLegend(m_openGroup, false)) {
            m_openGroup = nullptr;
        } else {
            first = index;
            end = index + 1 + m_document.GetGroupSpan(m_openGroup);
        }
    }
    for (int i = first; i < end; ++i) {
        CLayer* entry = m_document.GetLayer(i);
        if (entry == removing)
            continue;
        if (m_document.IsLayerShownInLegend(entry, false))
            AddRow(entry);
        // A closed group is one row; its members stay inside.
        if (IsGroup(entry) && entry != m_openGroup)
            i += m_document.GetGroupSpan(entry);
    }
    m_groupOpen = m_openGroup ? 1 : 0;
    m_list.SetShowsGroupContents(m_groupOpen != 0);
}

void CLegendView::RebuildList()
{
    Rebuild(nullptr);
}

void CLegendView::Rebuild(const CLayer* removing)
{
    CLayer* selected = GetActiveLayer();
    if (selected == removing || m_document.FindLayerIndex(selected) < 0)
        selected = nullptr;
    m_list.SetRedraw(false);
    FillList(removing);
    if (selected && m_list.FindLayer(selected) < 0) {
        // The selected entry lies in another group: that one opens.
        CLayer* parent = m_document.GetParentGroup(selected);
        if (parent != m_openGroup && parent != removing) {
            m_openGroup = parent;
            FillList(removing);
        }
    }
    m_list.SetCurSel(m_list.FindLayer(selected));
    m_list.SetRedraw(true);
}

void CLegendView::RefreshItem(CLayer* entry)
{
    const int row = entry ? m_list.FindLayer(entry) : -1;
    if (row < 0)
        return;
    if (m_document.IsLayerShownInLegend(entry, false)) {
        m_list.SetCheck(row, entry->HasFlag(CLayer::kShown) ? 1 : 0);
        if (m_list.MeasureRow(*entry) == m_list.GetRowHeight(row))
            m_list.RefreshRow(row);
        else
            RebuildList();
        return;
    }
    m_list.DeleteRow(row);
    if (entry == m_openGroup) {
        m_openGroup = nullptr;
        RebuildList();
    }
}

void CLegendView::OnUpdate(CDrelDoc&, uint32_t hint)
{
    CLayer* entry = m_document.GetLayer(HintIndex(hint));
    switch (HintOperation(hint)) {
    case kHintAll:
        m_list.Repaint();
        break;
    case kHintLayerAdded:
        if (entry && m_document.IsLayerShownInLegend(entry, false) &&
            m_document.GetParentGroup(entry) == m_openGroup) {
            m_list.SetCurSel(m_list.InsertLayer(NewRowIndex(), entry, entry->HasFlag(CLayer::kShown) ? 1 : 0));
        }
        break;
    case kHintLayerRemoving:
        if (entry && entry == m_openGroup) {
            // The level above shows, with what the group leaves there.
            m_openGroup = m_document.GetParentGroup(entry);
            Rebuild(entry);
        } else if (const int row = entry ? m_list.FindLayer(entry) : -1; row >= 0) {
            m_list.DeleteRow(row);
        }
        break;
    case kHintVisibility:
    case kHintLayerSettings:
        RefreshItem(entry);
        break;
    case kHintLegendRows:
        RebuildList();
        break;
    default:
        break;
    }
}

// ------------------------------------------------------------ the list's reports

void CLegendView::OnLayerDrop(const CLayerDrop& drop)
{
    CLayer* dragged = drop.dragged;
    CLayer* target = drop.target;
    if (m_document.FindLayerIndex(dragged) < 0 || m_document.FindLayerIndex(target) < 0 || dragged == target)
        return;
    const bool lastOnTop = ViewHost().GetLayerOrderInLegend() == 1;
    switch (drop.kind) {
    case kDropBefore:
        m_document.MoveLayer(dragged, target, lastOnTop);
        break;
    case kDropAfter:
        m_document.MoveLayer(dragged, target, !lastOnTop);
        break;
    case kDropToParent: {
        if (!IsGroup(target))
            return;
        CLayer* parent = m_document.GetParentGroup(target);
        m_document.MoveLayer(dragged, target, false);
        AddMembers(target, -1);
        AddMembers(parent, 1);
        m_document.UpdateGroupVisibility(target);
        break;
    }
    case kDropIntoGroup: {
        if (!IsGroup(target) || !m_document.MoveLayerIntoGroup(dragged, target)) {
            // The list took the row away.
            RebuildList();
            return;
        }
        break;
    }
    default:
        return;
    }
    // The list has moved the row already.
    m_document.UpdateAllViews(kHintLegendRows, this);
    if (m_document.Settings().legendAutoUpdate) {
        if (dragged->HasFlag(CLayer::kInOverview))
            m_document.UpdateAllViews(kHintOverview);
        if (dragged->HasFlag(CLayer::kShown))
            m_document.UpdateAllViews(kHintRedraw);
    }
    m_document.SetModifiedFlag();
}

void CLegendView::OnCheckChange(int row)
{
    CLayer* entry = m_list.GetLayer(row);
    if (!entry)
        return;
    if (IsGroup(entry) && entry->HasFlag(CLayer::kPartlyVisibleGroup)) {
        // Partly shown: the box stays ticked and the menu offers all or none.
        m_list.SetCheck(row, 1);
        m_frame.ShowGroupMenu();
        return;
    }
    m_document.SetLayerVisible(entry, m_list.GetCheck(row) != 0);
}

void CLegendView::OnSelectionChange()
{
    if (CDrelView* view = m_frame.GetMapView())
        view->OnActiveLayerChanged();
}

void CLegendView::OnListKey(int virtualKey)
{
    switch (virtualKey) {
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_DELETE:
        if (CDrelView* view = m_frame.GetMapView()) {
            m_frame.FocusMapView();
            view->OnKeyDown(virtualKey, 1, 0);
        }
        break;
    default:
        break;
    }
}

// ------------------------------------------------------------ commands

void CLegendView::RegisterCommands()
{
    CCommandTable& c = m_commands;
    // Enabled while the work is there; without a selection they say so.
    const auto enabledWith = [](const auto& dialog) {
        return [&dialog](CCommandState& state) { state.Enable(static_cast<bool>(dialog)); };
    };

    c.On(kCmdProperties, [this] { EditProperties(); });
    c.OnUpdate(kCmdProperties, [this](CCommandState& state) {
        const CLayer* entry = GetActiveLayer();
        const bool group = m_dialogs.groupProperties != nullptr, layer = m_dialogs.layerProperties != nullptr;
        state.Enable(entry ? (IsGroup(entry) ? group : layer) : group || layer);
    });
    c.On(kCmdObjectList, [this] { ShowObjectList(); });
    c.OnUpdate(kCmdObjectList, enabledWith(m_dialogs.objectList));
    c.On(kCmdAttributeTable, [this] {
        if (CLayer* entry = SelectedOrMessage(); entry && m_dialogs.attributeTable)
            m_dialogs.attributeTable(*entry);
    });
    c.OnUpdate(kCmdAttributeTable, enabledWith(m_dialogs.attributeTable));
    c.On(kCmdRemove, [this] { Remove(); });
    c.OnUpdate(kCmdRemove, [this](CCommandState& state) {
        const CLayer* entry = GetActiveLayer();
        const bool group = m_dialogs.removeGroup != nullptr, layer = m_dialogs.removeLayer != nullptr;
        state.Enable(entry ? (IsGroup(entry) ? group : layer) : group || layer);
    });
    c.On(kCmdFindStreet, [this] {
        CDrelView* view = m_frame.GetMapView();
        if (!view || !m_dialogs.findStreet)
            return;
        if (CLayer* streets = m_document.GetStreetsLayer())
            m_dialogs.findStreet(*streets, *view);
    });
    c.OnUpdate(kCmdFindStreet, enabledWith(m_dialogs.findStreet));

    c.On(kCmdClassesInLegend, [this] { ToggleClasses(); });
    c.OnUpdate(kCmdClassesInLegend, [this](CCommandState& state) {
        const CLayer* entry = GetActiveLayer();
        state.Enable(entry && entry->GetType() != CLayer::kRaster && !IsGroup(entry));
        state.SetCheck(entry && entry->HasFlag(CLayer::kClassesInLegend) ? 1 : 0);
    });
    c.On(kCmdOpenGroup, [this] { OpenSelectedGroup(); });
    c.On(kCmdParentGroup, [this] { GoUp(); });
    for (const bool on : {true, false})
        c.On(on ? kCmdGroupAllOn : kCmdGroupAllOff, [this, on] {
            if (CLayer* entry = SelectedOrMessage())
                m_document.SetLayerVisible(entry, on);
        });

    c.On(kCmdEditCopy, [this] { m_frame.SendToMapFrame(kCmdCopyLayer); });
    c.On(kCmdEditPaste, [this] { m_frame.SendToMapFrame(kCmdPasteLayer); });

    for (const int type : {0, 1, 2}) {
        const int id = kCmdAllLayers + type;
        c.On(id, [this, type] { SetLegendType(type); });
        c.OnUpdate(id, [this, type](CCommandState& state) {
            state.SetRadio(m_document.Settings().legendType == type);
        });
    }
    c.On(kCmdAutoUpdate, [this] {
        int& autoUpdate = m_document.Settings().legendAutoUpdate;
        autoUpdate = autoUpdate ? 0 : 1;
        m_document.SetModifiedFlag();
    });
    c.OnUpdate(kCmdAutoUpdate, [this](CCommandState& state) {
        state.SetCheck(m_document.Settings().legendAutoUpdate ? 1 : 0);
    });
}

void CLegendView::EditProperties()
{
    CLayer* entry = SelectedOrMessage();
    if (!entry)
        return;
    const int index = m_document.FindLayerIndex(entry);
    if (IsGroup(entry)) {
        std::string name = entry->GetName();
        bool working = entry->HasFlag(CLayer::kWorking);
        if (!m_dialogs.groupProperties || !m_dialogs.groupProperties(*entry, m_document, name, working))
            return;
        entry->SetName(name);
        entry->SetFlag(CLayer::kWorking, working);
        m_document.UpdateAllViews(MakeHint(index, kHintLayerSettings));
        m_document.SetModifiedFlag();
        return;
    }
    const uint32_t before = entry->GetFlags();
    if (!m_dialogs.layerProperties || !m_dialogs.layerProperties(*entry, m_document, std::round(GetFrameMapScale())))
        return;
    const uint32_t either = before | entry->GetFlags();
    m_document.UpdateAllViews(MakeHint(index, kHintLayerSettings));
    if (either & CLayer::kInOverview)
        m_document.UpdateAllViews(kHintOverview);
    if (either & CLayer::kShown)
        m_document.UpdateAllViews(kHintRedraw);
    m_document.SetModifiedFlag();
}

void CLegendView::ShowObjectList()
{
    CLayer* entry = SelectedOrMessage();
    CDrelView* view = m_frame.GetMapView();
    if (!entry || !view || !m_dialogs.objectList)
        return;
    const int type = entry->GetType();
    if (type == CLayer::kRaster || type == CLayer::kElevation || IsGroup(entry)) {
        AppMessageBox(kLayerHasNoObjects);
        return;
    }
    if (entry->HasFlag(CLayer::kManyFiles) && (!m_dialogs.chooseLayerFile || !m_dialogs.chooseLayerFile(*entry)))
        return;
    m_dialogs.objectList(*entry, *view);
}

void CLegendView::Remove()
{
    CLayer* entry = SelectedOrMessage();
    if (!entry)
        return;
    // The open group's own row is the way back up, not the group.
    if (entry == m_openGroup) {
        AppMessageBox(kNoLayerSelected);
        return;
    }
    if (!m_document.CanRemoveLayer(*entry))
        return;
    if (IsGroup(entry)) {
        if (!m_dialogs.removeGroup)
            return;
        const int choice = m_dialogs.removeGroup(*entry);
        if (choice < kGroupOnly || choice > kWithFiles)
            return;
        // Files go only when the user says so once more.
        const bool deleteFiles = choice == kWithFiles && AskYesNo(kDeleteFilesQuestion);
        m_document.RemoveLayer(entry, deleteFiles, choice != kGroupOnly, true);
        m_document.UpdateAllViews(kHintLegendRows);
        return;
    }
    bool deleteFiles = false;
    if (!m_dialogs.removeLayer || !m_dialogs.removeLayer(*entry, deleteFiles))
        return;
    if (deleteFiles)
        deleteFiles = AskYesNo(kDeleteFilesQuestion);
    m_document.RemoveLayer(entry, deleteFiles, false, true);
}

void CLegendView::ToggleClasses()
{
    CLayer* entry = SelectedOrMessage();
    if (!entry || entry->GetType() == CLayer::kRaster || IsGroup(entry))
        return;
    entry->SetFlag(CLayer::kClassesInLegend, !entry->HasFlag(CLayer::kClassesInLegend));
    const CSublayer* sublayer = entry->GetSublayerForScale(GetFrameMapScale());
    if (sublayer && sublayer->m_kind == CSublayer::kClassified) {
        m_document.UpdateAllViews(MakeHint(m_document.FindLayerIndex(entry), kHintLayerSettings));
        m_document.SetModifiedFlag();
    }
}

void CLegendView::OpenSelectedGroup()
{
    CLayer* entry = SelectedOrMessage();
    if (!IsGroup(entry) || entry == m_openGroup)
        return;
    m_openGroup = entry;
    RebuildList();
}

void CLegendView::GoUp()
{
    if (!m_openGroup)
        return;
    // Without a selection the level above the open group.
    CLayer* entry = GetActiveLayer();
    m_openGroup = m_document.GetParentGroup(entry ? entry : m_openGroup);
    RebuildList();
}

void CLegendView::SetLegendType(int type)
{
    m_document.Settings().legendType = type;
    m_document.UpdateAllViews(kHintLegendRows);
    m_document.SetModifiedFlag();
}
