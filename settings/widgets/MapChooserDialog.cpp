#include "settings/widgets/MapChooserDialog.h"

#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "shell/CommandRoute.h"
#include "shell/MainFrameCore.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/FilePrompt.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/ToolbarIcons.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kDialogId = 252;
constexpr int kMenuId = 253;
constexpr int kMapColumnText = 112;
constexpr int kFileColumnText = 113;
constexpr int kCmdOpen = 30198;
constexpr int kCmdAdd = 30199;
constexpr int kCmdRemove = 30200;
constexpr int kCmdRename = 30201;
constexpr int kCmdLargeIcons = 30203;
constexpr int kCmdSmallIcons = 30205;
constexpr int kCmdDetails = 30206;
constexpr int kLinkRole = Qt::UserRole;
constexpr char kMapFilter[] = "Drel Map Files (*.map)|*.map||";

constexpr struct {
    int command;
    MapListView view;
} kViewCommands[] = {
    {kCmdLargeIcons, kMapListLargeIcons},
    {kCmdSmallIcons, kMapListSmallIcons},
    {kCmdDetails, kMapListDetails},
};

// A rename typed in the list goes to the links, which may refuse it.
class CMapListModel : public QStandardItemModel {
public:
    CMapListModel(QObject* parent, std::function<bool(int row, const QString& title)> rename)
        : QStandardItemModel(parent), m_rename(std::move(rename))
    {
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role == Qt::EditRole && index.column() == 0)
            return m_rename(index.row(), value.toString());
        return QStandardItemModel::setData(index, value, role);
    }

private:
    std::function<bool(int row, const QString& title)> m_rename;
};

QToolButton* MakeToolButton(QWidget* parent, int id, const char* text, const QIcon& icon, bool withText)
{
    auto* button = WithId(id, new QToolButton(parent));
    button->setText(QString::fromUtf8(text));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(button->text().remove(QLatin1Char('&')));
    button->setToolButtonStyle(withText ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    return button;
}

} // namespace

CMapChooserDialog::CMapChooserDialog(CMapLinks& links, int viewType, QWidget* parent)
    : CDialogBase(parent),
      m_list(links),
      m_view(MapListViewOf(viewType)),
      m_model(new CMapListModel(this, [this](int row, const QString& title) {
          if (!m_list.Rename(row, FromQString(title)))
              return false;
          m_model->item(row, 0)->setText(ToQString(m_list.GetItems()[static_cast<size_t>(row)].title));
          return true;
      })),
      m_stack(WithId(kListId, new QStackedWidget(this))),
      m_icons(new QListView(m_stack)),
      m_details(new QTreeView(m_stack)),
      m_actions(new CCommandActions(this, [this] {
          CCommandRoute route;
          route.Add(&m_commands);
          return route;
      }))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Žemėlapiai"));
    setWindowIcon(ToolbarIcon(kCmdOpen));
    setSizeGripEnabled(true);

    m_model->setHorizontalHeaderLabels(
        {ToQString(LoadString(kMapColumnText)), ToQString(LoadString(kFileColumnText))});
    for (const CMapListItem& item : m_list.GetItems())
        AppendRow(item);

    m_icons->setModel(m_model);
    m_details->setModel(m_model);
    m_details->setSelectionModel(m_icons->selectionModel());
    m_details->setRootIsDecorated(false);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_icons), static_cast<QAbstractItemView*>(m_details)}) {
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->installEventFilter(this);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { ShowMenu(view->viewport()->mapToGlobal(at)); });
        connect(view, &QAbstractItemView::activated, this, [this] { OnOK(); });
    }
    m_stack->addWidget(m_icons);
    m_stack->addWidget(m_details);
    connect(m_icons->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnSelectionChanged(); });

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DialogOpenButton);
    const QIcon cancelIcon = style()->standardIcon(QStyle::SP_DialogCancelButton);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    buttons->addWidget(MakeToolButton(this, IDOK, "At&verti", openIcon, true));
    buttons->addWidget(MakeToolButton(this, IDCANCEL, "&Atsisakyti", cancelIcon, true));
    buttons->addSpacing(12);
    auto* add = MakeToolButton(this, kCmdAdd, "Pridėti...", ToolbarIcon(kCmdAdd), true);
    auto* remove = MakeToolButton(this, kCmdRemove, "Pašalinti", ToolbarIcon(kCmdRemove), true);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    const char* const viewTexts[] = {"Didelės piktogramos", "Mažos piktogramos", "Detalus sąrašas"};
    for (size_t i = 0; i < std::size(kViewCommands); ++i) {
        const int id = kViewCommands[i].command;
        auto* button = MakeToolButton(this, id, viewTexts[i], ToolbarIcon(id), false);
        button->setCheckable(true);
        buttons->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, i] { SetView(kViewCommands[i].view); });
    }
    connect(add, &QToolButton::clicked, this, [this] { OnAdd(); });
    connect(remove, &QToolButton::clicked, this, [this] { OnRemove(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(m_stack, 1);
    resize(520, 320);

    RegisterCommands();
    SetView(m_view);
}

CMapChooserDialog::~CMapChooserDialog() = default;

void CMapChooserDialog::RegisterCommands()
{
    const auto withSelection = [this](CCommandState& state) { state.Enable(GetSelectedItem() >= 0); };
    m_commands.On(kCmdOpen, [this] { OnOK(); });
    m_commands.OnUpdate(kCmdOpen, withSelection);
    m_commands.On(kCmdAdd, [this] { OnAdd(); });
    m_commands.On(kCmdRemove, [this] { OnRemove(); });
    m_commands.OnUpdate(kCmdRemove, withSelection);
    m_commands.On(kCmdRename, [this] { OnRename(); });
    m_commands.OnUpdate(kCmdRename, withSelection);
    for (const auto& entry : kViewCommands) {
        const MapListView view = entry.view;
        m_commands.On(entry.command, [this, view] { SetView(view); });
        m_commands.OnUpdate(entry.command, [this, view](CCommandState& state) {
            state.SetRadio(m_view == view ? 1 : 0);
        });
    }
}

void CMapChooserDialog::AppendRow(const CMapListItem& item)
{
    auto* title = new QStandardItem(ToolbarIcon(kCmdOpen), ToQString(item.title));
    title->setData(item.link, kLinkRole);
    auto* path = new QStandardItem(ToQString(item.path));
    path->setEditable(false);
    m_model->appendRow({title, path});
}

void CMapChooserDialog::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    OnSelectionChanged();
    SizeColumns();
}

void CMapChooserDialog::SetView(MapListView view)
{
    m_view = view;
    if (view == kMapListDetails) {
        m_stack->setCurrentWidget(m_details);
        SizeColumns();
    } else {
        const bool large = view == kMapListLargeIcons;
        m_icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
        m_icons->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
        m_icons->setFlow(large ? QListView::LeftToRight : QListView::TopToBottom);
        m_icons->setWrapping(true);
        m_icons->setResizeMode(QListView::Adjust);
        m_icons->setMovement(QListView::Static);
        m_icons->setWordWrap(large);
        m_icons->setGridSize(large ? QSize(120, 64) : QSize());
        m_stack->setCurrentWidget(m_icons);
    }
    for (const auto& entry : kViewCommands)
        if (auto* button = FindControl<QToolButton>(this, entry.command))
            button->setChecked(entry.view == view);
    m_actions->UpdateAll();
}

int CMapChooserDialog::GetSelectedItem() const
{
    const QModelIndexList rows = m_icons->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void CMapChooserDialog::SelectItem(int item)
{
    const QModelIndex index = m_model->index(item, 0);
    if (!index.isValid()) {
        m_icons->selectionModel()->clearSelection();
        return;
    }
    m_icons->selectionModel()->setCurrentIndex(index,
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CMapChooserDialog::OnOK()
{
    const int item = GetSelectedItem();
    if (item < 0)
        return;
    m_chosen = m_list.GetItems()[static_cast<size_t>(item)].link;
    EndDialog(IDOK);
}

void CMapChooserDialog::OnAdd()
{
    std::string path;
    if (chooseMapFile) {
        if (!chooseMapFile(path))
            return;
    } else {
        int filterIndex = 1;
        std::vector<std::string> paths;
        if (!PromptOpenFiles(kMapFilter, filterIndex, false, paths) || paths.empty())
            return;
        path = paths.front();
    }
    if (m_list.Add(path))
        AppendRow(m_list.GetItems().back());
}

void CMapChooserDialog::OnRemove()
{
    const int item = GetSelectedItem();
    if (item < 0 || !m_list.Remove(item))
        return;
    m_model->removeRow(item);
    for (int row = 0; row < m_model->rowCount(); ++row)
        m_model->item(row, 0)->setData(m_list.GetItems()[static_cast<size_t>(row)].link, kLinkRole);
    OnSelectionChanged();
}

void CMapChooserDialog::OnRename()
{
    const int item = GetSelectedItem();
    if (item < 0)
        return;
    auto* view = static_cast<QAbstractItemView*>(m_stack->currentWidget());
    view->edit(m_model->index(item, 0));
}

void CMapChooserDialog::OnSelectionChanged()
{
    if (auto* remove = FindControl<QToolButton>(this, kCmdRemove))
        remove->setEnabled(GetSelectedItem() >= 0);
    if (auto* open = FindControl<QToolButton>(this, IDOK))
        open->setEnabled(GetSelectedItem() >= 0);
    m_actions->UpdateAll();
}

QMenu* CMapChooserDialog::GetContextMenu() const
{
    return m_actions->PopupMenu(kMenuId, 0);
}

void CMapChooserDialog::ShowMenu(const QPoint& global)
{
    if (QMenu* menu = GetContextMenu())
        menu->popup(global);
}

bool CMapChooserDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        // An editor in the list takes its own Delete.
        if (qobject_cast<QAbstractItemView*>(watched)) {
            OnRemove();
            return true;
        }
    }
    return CDialogBase::eventFilter(watched, event);
}

void CMapChooserDialog::resizeEvent(QResizeEvent* event)
{
    CDialogBase::resizeEvent(event);
    SizeColumns();
}

void CMapChooserDialog::SizeColumns()
{
    // The list may be hidden behind the icons: its width is the stack's.
    const int width = m_stack->width() - 2 * m_details->frameWidth();
    m_details->header()->setStretchLastSection(true);
    m_details->setColumnWidth(0, width / 3);
}

int ChooseMapLink(CMapLinks& links)
{
    CDrelApp* app = CDrelApp::Instance();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    const int viewType = frame ? frame->Core().GetMapListViewType() : kMapListLargeIcons;
    CMapChooserDialog dialog(links, viewType, frame ? static_cast<QWidget*>(frame) : QApplication::activeWindow());
    const int result = dialog.DoModal();
    if (frame)
        frame->Core().SetMapListViewType(dialog.GetView());
    return result == IDOK ? dialog.GetChosenLink() : -1;
}
