#include "shell/widgets/MainFrameBars.h"

#include "platform/QtText.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "res/ToolbarTable.h"
#include "shell/BarState.h"
#include "shell/CommandText.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/AutoCompleteCombo.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/CustomToolBar.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/ReplaySpeedCombo.h"
#include "shell/widgets/ToolbarBoxAdapter.h"
#include "shell/widgets/ToolbarsDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kCmdToolbarList = 30457;

// The commands that show and hide a bar, with a check mark while it shows.
constexpr std::pair<int, int> kBarToggles[] = {
    {30023, kObjectEditingBar}, {30014, kRouteSearchBar},    {30087, kLineEditingBar},
    {30296, kAttributeTableBar}, {30356, kAddressBar},
};

constexpr char kToolbarFontFace[] = "MS Sans Serif";
constexpr int kToolbarFontPoints = 8;

Qt::ToolBarArea AreaOf(DockSide side)
{
    switch (side) {
    case kDockBottom:
        return Qt::BottomToolBarArea;
    case kDockLeft:
        return Qt::LeftToolBarArea;
    case kDockRight:
        return Qt::RightToolBarArea;
    default:
        return Qt::TopToolBarArea;
    }
}

bool IsMapWindowBox(int id)
{
    const auto boxes = MapWindowBoxes();
    return std::find(boxes.begin(), boxes.end(), id) != boxes.end();
}

} // namespace

void InstallMainFrameBars()
{
    MainFrameHooks().makeBars = [](CMainFrame& frame) { return std::make_unique<CMainFrameBars>(frame); };
}

CMainFrameBars::CMainFrameBars(CMainFrame& frame) : m_frame(frame), m_font(kToolbarFontFace, kToolbarFontPoints)
{
    SetMainToolbars(this);
}

CMainFrameBars::~CMainFrameBars()
{
    if (&MainToolbars() == static_cast<IMainToolbars*>(this))
        SetMainToolbars(nullptr);
}

bool CMainFrameBars::CreateBars()
{
    if (const CDrelApp* app = CDrelApp::Instance())
        m_config.Read(app->ConfigFile());
    for (const CMainFrameBarInfo& info : MainFrameBars()) {
        if (!FindToolbarResource(info.resourceId))
            return false;
        MakeBar(info);
    }
    ApplyDockPlan();
    RegisterCommands();
    return true;
}

void CMainFrameBars::MakeBar(const CMainFrameBarInfo& info)
{
    auto* bar = new CCustomToolBar(ToQString(LoadString(info.captionId)), m_frame.Actions(), &m_frame);
    SetControlId(bar, info.controlId);
    bar->setAllowedAreas(info.topBottomOnly ? Qt::TopToolBarArea | Qt::BottomToolBarArea : Qt::AllToolBarAreas);
    bar->setIconSize(QSize(16, 16));
    bar->setFont(m_font);
    m_bars[info.resourceId] = bar;

    const ToolbarResource* resource = FindToolbarResource(info.resourceId);
    if (info.customisable) {
        const std::vector<int> buttons(resource->buttons.begin(), resource->buttons.end());
        std::set<int> hidden;
        if (info.resourceId == kMainBar)
            hidden.insert(MainBarRemovedButtons().begin(), MainBarRemovedButtons().end());
        bar->MakeCustomisable(info.controlId, buttons, hidden);
        return;
    }
    for (const int id : resource->buttons) {
        if (id == 0)
            bar->addSeparator();
        else if (const CToolbarBoxInfo* box = FindToolbarBoxInfo(id))
            MakeBox(*box, *bar);
        else
            m_frame.Actions().AddToolButton(bar, id);
    }
}

QWidget* CMainFrameBars::MakeBox(const CToolbarBoxInfo& info, CCustomToolBar& bar)
{
    QWidget* box = nullptr;
    QLineEdit* edit = nullptr;
    switch (info.kind) {
    case kBoxLabel: {
        auto* label = new QLabel(QStringLiteral("1: "));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box = label;
        break;
    }
    case kBoxEdit:
        box = edit = new QLineEdit;
        break;
    case kBoxDropList:
    case kBoxDropDown: {
        const bool editable = info.kind == kBoxDropDown;
        CToolbarCombo* combo;
        if (info.id == kReplaySpeedBox) {
            combo = m_replaySpeed = new CReplaySpeedCombo;
        } else if (info.id == kPlacesBox) {
            combo = new CToolbarCombo(editable, info.sorted);
        } else {
            auto* search = new CAutoCompleteCombo(editable, info.sorted);
            search->SetActiveMapFunction([this] { return m_frame.GetActiveMapDocument(); });
            combo = search;
        }
        combo->SetDropDownHeight(kDropDownListExtra);
        edit = combo->lineEdit();
        box = combo;
        break;
    }
    }
    SetControlId(box, info.id);
    box->setFont(m_font);
    box->setToolTip(ToQString(GetCommandToolTip(info.id)));
    box->setEnabled(info.enabled);
    if (edit && info.textLimit > 0)
        edit->setMaxLength(info.textLimit);
    if (info.kind != kBoxLabel) {
        box->installEventFilter(this);
        if (edit && edit != box)
            edit->installEventFilter(this);
    }

    const QFontMetrics metrics(m_font);
    const auto textWidth = [&metrics](std::string_view sample) { return metrics.horizontalAdvance(ToQString(sample)); };
    const int screenWidth = m_frame.screen() ? m_frame.screen()->geometry().width() : 1024;
    int slotWidth = ToolbarBoxSlotWidth(info, textWidth, screenWidth);
    int width = ToolbarBoxWidth(info, textWidth, screenWidth);
    // The label's text fits whatever font stands in for the toolbar font.
    if (auto* label = qobject_cast<QLabel*>(box))
        slotWidth = width = std::max(width, metrics.horizontalAdvance(label->text()) + 1);
    box->setFixedWidth(width);
    QWidget* slot = box;
    if (slotWidth > width) {
        // The box stands centred in a wider slot.
        slot = new QWidget;
        auto* layout = new QHBoxLayout(slot);
        const int margin = (slotWidth - width) / 2;
        layout->setContentsMargins(margin, 0, slotWidth - width - margin, 0);
        layout->addWidget(box);
        slot->setFixedWidth(slotWidth);
    }
    QAction* action = bar.addWidget(slot);
    action->setVisible(m_config.IsBoxShown(info.id));
    m_slots[info.id] = action;
    m_boxes[info.id] = std::make_unique<CToolbarBoxAdapter>(info.id, box, info.sorted);
    if (IsMapWindowBox(info.id))
        m_frame.Actions().BindWidget(info.id, box);
    return box;
}

void CMainFrameBars::ApplyDockPlan()
{
    const CDockPlan plan = InitialDockPlan();
    std::set<DockSide> started;
    for (const CDockPlan::Row& row : plan.rows) {
        const Qt::ToolBarArea area = AreaOf(row.side);
        if (!started.insert(row.side).second)
            m_frame.addToolBarBreak(area);
        for (const int id : row.bars)
            m_frame.addToolBar(area, Bar(id));
    }
    for (const CDockPlan::Floating& floating : plan.floating) {
        CCustomToolBar* bar = Bar(floating.bar);
        m_frame.addToolBar(Qt::TopToolBarArea, bar);
        // As a floating bar is made: a tool window the layout leaves out.
        bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        bar->adjustSize();
        bar->move(floating.x, floating.y);
    }
    for (const auto& [id, bar] : m_bars)
        bar->setVisible(m_config.IsInitiallyVisible(id));
}

void CMainFrameBars::RegisterCommands()
{
    CCommandTable& commands = m_frame.Commands();
    for (const auto& [command, barId] : kBarToggles) {
        const int bar = barId;
        commands.On(command, [this, bar] { ShowBar(bar, !IsBarVisible(bar)); });
        commands.OnUpdate(command, [this, bar](CCommandState& state) { state.SetCheck(IsBarVisible(bar) ? 1 : 0); });
    }
    commands.On(kCmdToolbarList, [this] { ShowToolbarList(); });
}

void CMainFrameBars::ShowToolbarList()
{
    CToolbarsDlg dialog(ToolbarListBars(), &m_frame);
    dialog.DoModal();
}

std::vector<CCustomToolBar*> CMainFrameBars::ToolbarListBars() const
{
    std::vector<CCustomToolBar*> bars;
    for (const int id :
         ::ToolbarListBars(IsAdminBarHidden(), IsBarVisible(kAdminSearchBar), m_attributeTableFlag, m_playbackFlag))
        bars.push_back(Bar(id));
    return bars;
}

CCustomToolBar* CMainFrameBars::Bar(int resourceId) const
{
    auto it = m_bars.find(resourceId);
    return it == m_bars.end() ? nullptr : it->second;
}

QAction* CMainFrameBars::BoxSlot(int id) const
{
    auto it = m_slots.find(id);
    return it == m_slots.end() ? nullptr : it->second;
}

std::vector<std::string> CMainFrameBars::BarNames() const
{
    std::vector<std::string> names;
    for (const auto& [id, bar] : m_bars)
        names.push_back(bar->objectName().toStdString());
    return names;
}

void CMainFrameBars::LoadBarState()
{
    CBarState saved;
    if (!saved.Load(kLayoutName) || !saved.IsConsistentWith(BarNames()))
        return;
    m_frame.restoreState(
        QByteArray(reinterpret_cast<const char*>(saved.state.data()), static_cast<qsizetype>(saved.state.size())));
}

void CMainFrameBars::SaveBarState()
{
    const QByteArray state = m_frame.saveState();
    CBarState layout;
    layout.state.assign(state.begin(), state.end());
    layout.bars = BarNames();
    layout.Save(kLayoutName);
    layout.Save(kSecondLayoutName);
}

IToolbarBox* CMainFrameBars::FindBox(int id)
{
    auto it = m_boxes.find(id);
    return it == m_boxes.end() ? nullptr : it->second.get();
}

void CMainFrameBars::EnableAddressBox(int id, bool on)
{
    if (IToolbarBox* box = FindBox(id)) {
        box->Enable(on);
        if (id == kHouseNumberBox)
            box->ResetContent();
    }
    if (!on)
        return;
    if (const CDrelApp* app = CDrelApp::Instance())
        m_config.address.OnBoxEnabled(id, app->ConfigFile());
    // A switch turned on shows its box from now on, not only from the next start.
    if (QAction* slot = BoxSlot(id))
        slot->setVisible(m_config.IsBoxShown(id));
}

void CMainFrameBars::EnableStreetBox(bool on)
{
    EnableAddressBox(kStreetBox, on);
}

void CMainFrameBars::EnableCityList(bool on)
{
    EnableAddressBox(kCityBox, on);
}

void CMainFrameBars::EnableHouseNumbers(bool on)
{
    EnableAddressBox(kHouseNumberBox, on);
}

void CMainFrameBars::ShowBar(int resourceId, bool show)
{
    if (CCustomToolBar* bar = Bar(resourceId))
        bar->setVisible(show);
}

bool CMainFrameBars::IsBarVisible(int resourceId) const
{
    const CCustomToolBar* bar = Bar(resourceId);
    return bar && !bar->isHidden();
}

void CMainFrameBars::UpdateReplaySpeed()
{
    if (m_replaySpeed)
        m_replaySpeed->UpdateSelection();
}

bool CMainFrameBars::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // An open drop-down list takes its own Enter.
    auto* combo = qobject_cast<QComboBox*>(watched);
    if (!combo && watched->parent())
        combo = qobject_cast<QComboBox*>(watched->parent());
    if (combo && combo->view() && combo->view()->isVisible())
        return false;
    m_frame.Actions().Execute(kIdOk);
    return true;
}
