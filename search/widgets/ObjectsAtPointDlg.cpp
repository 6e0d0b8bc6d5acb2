#include "search/widgets/ObjectsAtPointDlg.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapSettings.h"
#include "mapdoc/ViewWindow.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "platform/Strings.h"
#include "search/widgets/WindowPlacement.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ListViewEx.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kLayerColumnTitle = 3044;
constexpr int kObjectColumnTitle = 3065;
constexpr int kMeasureColumnTitle = 3066;
// Room for about eight rows of three columns.
constexpr int kListWidth = 440;
constexpr int kListHeight = 180;
} // namespace

CObjectsAtPointDlg::CObjectsAtPointDlg(const CMapPoint& point, const std::vector<CObjectHit>& hits,
                                       double maxDistance, CDrelView& view, const CPoint& screen, QWidget* parent)
    : CDialogBase(parent),
      m_point(point),
      m_view(view),
      m_screen(screen),
      m_rows(ListObjectsAtPoint(hits, maxDistance, view.GetDocument())),
      m_list(new CListViewEx(this)),
      m_model(new QStandardItemModel(0, 3, this)),
      m_pointEdit(new QLineEdit(this)),
      m_info(new QPushButton(QString::fromUtf8("Informacija..."), this)),
      m_activate(new QPushButton(QString::fromUtf8("Aktyvuoti sluoksnį"), this))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Objektai nurodytame taške"));
    SetControlId(m_list, kList);
    m_list->setModel(m_model);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->SetFullRowSelection(true);
    m_list->setMinimumSize(kListWidth, kListHeight);
    SetControlId(m_pointEdit, kPointEdit);
    m_pointEdit->setReadOnly(true);
    m_pointEdit->installEventFilter(this);
    SetControlId(m_info, kInfoButton);
    m_info->setDefault(true);
    SetControlId(m_activate, kActivateButton);
    auto* close = new QPushButton(QString::fromUtf8("Uždaryti"), this);
    SetControlId(close, IDCANCEL);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_info);
    buttons->addWidget(m_activate);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_pointEdit);
    layout->addLayout(buttons);

    connect(m_activate, &QPushButton::clicked, this, [this] { ActivateLayer(); });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnSelectionChanged(); });
    FillList();
}

void CObjectsAtPointDlg::FillList()
{
    m_model->setHorizontalHeaderLabels({ToQString(LoadString(kLayerColumnTitle)),
                                        ToQString(LoadString(kObjectColumnTitle)),
                                        ToQString(LoadString(kMeasureColumnTitle))});
    for (const CObjectAtPointRow& row : m_rows) {
        QList<QStandardItem*> items;
        for (const std::string* text : {&row.layer, &row.object, &row.measure}) {
            auto* item = new QStandardItem(ToQString(*text));
            item->setEditable(false);
            items.append(item);
        }
        m_model->appendRow(items);
    }
    const bool degrees = m_view.GetDocument().Settings().mapUnits == kUnitsDegrees;
    m_pointEdit->setText(ToQString(ObjectsAtPointText(m_point, degrees)));
}

void CObjectsAtPointDlg::SizeColumns()
{
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
    m_list->resizeColumnToContents(2);
    const int rest = m_list->viewport()->width() - m_list->columnWidth(0) - m_list->columnWidth(2);
    m_list->setColumnWidth(1, std::max(rest, m_list->columnWidth(1)));
}

void CObjectsAtPointDlg::Place()
{
    adjustSize();
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = owner ? owner->frameGeometry() : QGuiApplication::primaryScreen()->availableGeometry();
    QRect centred(QPoint(0, 0), frameGeometry().size());
    centred.moveCenter(area.center());
    const QScreen* screen = QGuiApplication::screenAt(QPoint(m_screen.x, m_screen.y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const CRect placed =
        PlaceObjectsAtPointWindow(ToCRect(centred), m_screen, ToCRect(screen->availableGeometry()));
    move(placed.left, placed.top);
}

void CObjectsAtPointDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    Place();
    SizeColumns();
    // No row selected: the point's marker alone.
    OnSelectionChanged();
}

int CObjectsAtPointDlg::SelectedRow() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void CObjectsAtPointDlg::OnSelectionChanged()
{
    const int row = SelectedRow();
    const CObjectHit* hit = row >= 0 ? &m_rows[static_cast<size_t>(row)].hit : nullptr;
    m_activate->setEnabled(hit != nullptr);
    m_info->setEnabled(hit && HasObjectInformation(*hit));
    ShowObjectAtPoint(m_view, m_point, hit);
}

void CObjectsAtPointDlg::OnOK()
{
    if (const int row = SelectedRow(); row >= 0)
        ShowObjectAtPointInfo(m_rows[static_cast<size_t>(row)].hit);
}

void CObjectsAtPointDlg::ActivateLayer()
{
    const int row = SelectedRow();
    if (row >= 0 && m_view.GetWindow())
        m_view.GetWindow()->SelectLayer(m_rows[static_cast<size_t>(row)].hit.layer);
}

bool CObjectsAtPointDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pointEdit && event->type() == QEvent::FocusIn)
        m_list->selectionModel()->clearSelection();
    return CDialogBase::eventFilter(watched, event);
}
