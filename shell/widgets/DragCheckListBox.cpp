#include "shell/widgets/DragCheckListBox.h"

#include "layers/Layer.h"
#include "mapdoc/LegendListOwner.h"
#include "platform/DC.h"
#include "platform/VirtualKeys.h"
#include "shell/LayerListRows.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/FrameworkApp.h"
#include "shell/widgets/MdiFrame.h"
#include "shell/widgets/PaletteColors.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <utility>
#include <vector>

namespace {

constexpr int kLayerRole = Qt::UserRole;
constexpr int kCheckRole = Qt::UserRole + 1;
constexpr int kRefreshRole = Qt::UserRole + 2;
constexpr int kHeightRole = Qt::UserRole + 3;

constexpr int kLayerPropertiesCommand = 30066;
constexpr int kOpenGroupCommand = 30267;
constexpr int kParentGroupCommand = 30268;

// Changes the program makes are not the user's.
class CQuiet {
public:
    explicit CQuiet(int& depth) : m_depth(depth) { ++m_depth; }
    ~CQuiet() { --m_depth; }
    CQuiet(const CQuiet&) = delete;
    CQuiet& operator=(const CQuiet&) = delete;

private:
    int& m_depth;
};

CMdiFrame* MainFrame()
{
    CFrameworkApp* app = CFrameworkApp::Instance();
    return app ? app->GetMainFrame() : nullptr;
}

} // namespace

class CDragCheckListBox::CRowDelegate : public QStyledItemDelegate {
public:
    explicit CRowDelegate(CDragCheckListBox& list) : QStyledItemDelegate(&list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        const CLayer* layer = m_list.GetLayer(index.row());
        return {m_list.viewport()->width(), layer ? m_list.MeasureRow(*layer) : kLayerRowHeight};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_list.PaintRow(painter, option.rect, index.row());
    }

private:
    CDragCheckListBox& m_list;
};

CDragCheckListBox::CDragCheckListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new CRowDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setDragEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // What rows leave free shows the button face, as the rows do.
    QPalette face = palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    setPalette(face);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_quiet && m_owner)
            m_owner->OnSelectionChange();
    });
}

void CDragCheckListBox::SetMultipleSelection(bool on)
{
    CQuiet quiet(m_quiet);
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void CDragCheckListBox::SetShowsGroupContents(bool on)
{
    m_groupContents = on;
    viewport()->update();
}

int CDragCheckListBox::InsertLayer(int index, CLayer* layer, int check)
{
    CQuiet quiet(m_quiet);
    auto* row = new QListWidgetItem;
    row->setData(kLayerRole, QVariant::fromValue(reinterpret_cast<quintptr>(layer)));
    row->setData(kCheckRole, check);
    row->setData(kHeightRole, layer ? MeasureRow(*layer) : kLayerRowHeight);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    const int at = index < 0 || index > count() ? count() : index;
    insertItem(at, row);
    return at;
}

void CDragCheckListBox::DeleteRow(int index)
{
    CQuiet quiet(m_quiet);
    delete takeItem(index);
}

void CDragCheckListBox::ResetContent()
{
    CQuiet quiet(m_quiet);
    CancelDrag();
    clear();
}

CLayer* CDragCheckListBox::GetLayer(int index) const
{
    const QListWidgetItem* row = item(index);
    return row ? reinterpret_cast<CLayer*>(row->data(kLayerRole).value<quintptr>()) : nullptr;
}

int CDragCheckListBox::FindLayer(const CLayer* layer) const
{
    for (int i = 0; i < count(); ++i)
        if (GetLayer(i) == layer)
            return i;
    return -1;
}

int CDragCheckListBox::GetCheck(int index) const
{
    const QListWidgetItem* row = item(index);
    return row ? row->data(kCheckRole).toInt() : 0;
}

void CDragCheckListBox::SetCheck(int index, int check)
{
    if (QListWidgetItem* row = item(index))
        row->setData(kCheckRole, check);
}

int CDragCheckListBox::GetCurSel() const
{
    if (selectionMode() != QAbstractItemView::SingleSelection)
        return currentRow();
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

void CDragCheckListBox::SetCurSel(int index)
{
    CQuiet quiet(m_quiet);
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

int CDragCheckListBox::MeasureRow(const CLayer& layer) const
{
    return GetLayerRowHeight(layer, m_owner ? m_owner->GetLegendScale() : 0);
}

int CDragCheckListBox::GetRowHeight(int index) const
{
    const QListWidgetItem* row = item(index);
    return row ? row->data(kHeightRole).toInt() : 0;
}

void CDragCheckListBox::RefreshRow(int index)
{
    if (QListWidgetItem* row = item(index)) {
        if (const CLayer* layer = GetLayer(index))
            row->setData(kHeightRole, MeasureRow(*layer));
        row->setData(kRefreshRole, row->data(kRefreshRole).toInt() + 1);
        scheduleDelayedItemsLayout();
        executeDelayedItemsLayout();
        viewport()->update();
    }
}

int CDragCheckListBox::RowAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : -1;
}

void CDragCheckListBox::PaintRow(QPainter* painter, const QRect& rect, int row) const
{
    const CLayer* layer = GetLayer(row);
    const QRect full(rect.left(), rect.top(), std::max(rect.width(), viewport()->width() - rect.left()), rect.height());
    QImage image(full.size(), QImage::Format_RGB32);
    if (!layer || image.isNull())
        return;
    LayerRowLook look;
    look.check = GetCheck(row);
    look.openGroupRow = m_groupContents && row == 0;
    look.selected = item(row)->isSelected();
    look.focused = hasFocus() && currentRow() == row;
    look.dropTarget = row == m_intoRow;
    look.insertMark = row == m_markRow ? m_markSide : 0;
    look.scale = m_owner ? m_owner->GetLegendScale() : 0;
    look.face = GetPaletteColor(this, QPalette::Button);
    look.text = GetPaletteColor(this, QPalette::WindowText);
    look.highlight = GetPaletteColor(this, QPalette::Highlight);
    look.highlightText = GetPaletteColor(this, QPalette::HighlightedText);
    {
        CDC dc(image);
        DrawLayerRow(dc, CRect(0, 0, full.width(), full.height()), *layer, look);
    }
    painter->drawImage(full.topLeft(), image);
}

bool CDragCheckListBox::InCheckBox(int row, const QPoint& point) const
{
    const QRect r = visualItemRect(item(row));
    const int x = point.x() - r.left(), y = point.y() - r.top();
    return x >= 0 && x < kCheckBoxStripWidth && y >= 0 && y < kLayerRowHeight;
}

bool CDragCheckListBox::IsGroupRow(int row) const
{
    const CLayer* layer = GetLayer(row);
    return layer && layer->HasFlag(CLayer::kGroup);
}

void CDragCheckListBox::ToggleChecks(int row)
{
    const int states = m_checkStyle == kAutoThreeState ? 3 : 2;
    const int check = std::clamp(GetCheck(row), 0, states - 1);
    const int next = (check + 1) % states;
    std::vector<int> changed;
    // A click on a selected row of several sets them all.
    if (selectionMode() != QAbstractItemView::SingleSelection && item(row)->isSelected()) {
        for (int i = 0; i < count(); ++i)
            if (item(i)->isSelected() && GetCheck(i) != next)
                changed.push_back(i);
    } else {
        changed.push_back(row);
    }
    for (const int i : changed)
        SetCheck(i, next);
    if (m_owner)
        for (const int i : changed)
            m_owner->OnCheckChange(i);
}

void CDragCheckListBox::ClickBox(int row, QMouseEvent* event)
{
    if (m_owner)
        m_owner->OnBoxClick(row);
    const bool automatic = m_checkStyle == kAutoCheckBox || m_checkStyle == kAutoThreeState;
    const bool severalSelected = selectionMode() != QAbstractItemView::SingleSelection && item(row)->isSelected();
    // The row is chosen as a list box chooses, unless its click sets the whole selection.
    m_unseenPress = automatic && severalSelected;
    if (!m_unseenPress)
        QListWidget::mousePressEvent(event);
    if (automatic)
        ToggleChecks(row);
}

void CDragCheckListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_dragRow >= 0) {
        event->accept();
        return;
    }
    const QPoint point = event->position().toPoint();
    const int row = RowAt(point);
    m_pressRow = -1;
    if (row >= 0 && InCheckBox(row, point)) {
        setFocus(Qt::MouseFocusReason);
        ClickBox(row, event);
        return;
    }
    QListWidget::mousePressEvent(event);
    m_pressRow = row;
    m_pressPoint = point;
}

void CDragCheckListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragRow >= 0) {
        TrackDrag(point);
        return;
    }
    if (m_pressRow >= 0 && (event->buttons() & Qt::LeftButton) &&
        (point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        const int row = m_pressRow;
        m_pressRow = -1;
        if (CanDragLayerRow(row, m_editing, m_groupContents)) {
            BeginDrag(row);
            TrackDrag(point);
            return;
        }
    }
    QListWidget::mouseMoveEvent(event);
}

void CDragCheckListBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressRow = -1;
    if (m_dragRow >= 0) {
        if (event->button() == Qt::LeftButton)
            Drop(event->position().toPoint());
        return;
    }
    if (std::exchange(m_unseenPress, false))
        return;
    QListWidget::mouseReleaseEvent(event);
}

void CDragCheckListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = event->button() == Qt::LeftButton ? RowAt(point) : -1;
    if (row < 0) {
        QListWidget::mouseDoubleClickEvent(event);
        return;
    }
    // A second click on a box is a click again.
    if (InCheckBox(row, point)) {
        ClickBox(row, event);
        return;
    }
    if (m_groupContents && row == 0) {
        if (m_owner)
            m_owner->OnListCommand(kParentGroupCommand);
    } else if (IsGroupRow(row)) {
        if (m_owner)
            m_owner->OnListCommand(kOpenGroupCommand);
    } else if (CMdiFrame* frame = MainFrame()) {
        frame->Actions().Execute(kLayerPropertiesCommand);
    }
}

void CDragCheckListBox::keyPressEvent(QKeyEvent* event)
{
    if (m_dragRow >= 0) {
        if (event->key() == Qt::Key_Escape)
            CancelDrag();
        event->accept();
        return;
    }
    const int key = VirtualKeyFromQtKey(event->key(), event->modifiers() & Qt::KeypadModifier);
    switch (key) {
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_DELETE:
    case VK_ADD:
    case VK_SUBTRACT:
    case VK_OEM_PLUS:
    case VK_OEM_MINUS:
        if (m_owner)
            m_owner->OnListKey(key);
        event->accept();
        return;
    case VK_SPACE:
        if ((m_checkStyle == kAutoCheckBox || m_checkStyle == kAutoThreeState) && currentRow() >= 0) {
            ToggleChecks(currentRow());
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QListWidget::keyPressEvent(event);
}

void CDragCheckListBox::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu's commands act on the selected row: a right click chooses the
    // row under the mouse first, as a left click would (several selected
    // rows stay when the click is on one of them).
    if (event->reason() == QContextMenuEvent::Mouse && m_dragRow < 0) {
        const int row = RowAt(event->pos());
        if (row >= 0 && !item(row)->isSelected())
            setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    CMdiFrame* frame = MainFrame();
    if (QMenu* menu = frame ? frame->Actions().PopupMenu(kPopupMenu, 0) : nullptr)
        menu->popup(event->globalPos());
    event->accept();
}

void CDragCheckListBox::focusOutEvent(QFocusEvent* event)
{
    CancelDrag();
    QListWidget::focusOutEvent(event);
}

int CDragCheckListBox::DropKindAt(const QPoint& point, int& target) const
{
    target = RowAt(point);
    if (target < 0)
        return -1;
    const QRect r = visualItemRect(item(target));
    return GetLayerDropKind(m_dragRow, target, IsGroupRow(target), point.y() - r.top(), r.height(), m_groupContents);
}

void CDragCheckListBox::BeginDrag(int row)
{
    m_dragRow = row;
    m_markRow = m_intoRow = -1;
    m_markSide = 0;
}

void CDragCheckListBox::TrackDrag(const QPoint& point)
{
    // Past an end the list scrolls on.
    if (point.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.y() >= viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    int target = -1;
    const int kind = DropKindAt(point, target);
    m_markRow = m_intoRow = -1;
    m_markSide = 0;
    switch (kind) {
    case ILegendListOwner::kDropBefore:
    case ILegendListOwner::kDropAfter:
        m_markRow = target;
        m_markSide = kind == ILegendListOwner::kDropBefore ? -1 : 1;
        break;
    case ILegendListOwner::kDropToParent:
    case ILegendListOwner::kDropIntoGroup:
        m_intoRow = target;
        break;
    default:
        break;
    }
    viewport()->setCursor(kind < 0 ? Qt::ForbiddenCursor : Qt::DragMoveCursor);
    viewport()->update();
}

void CDragCheckListBox::CancelDrag()
{
    if (m_dragRow < 0)
        return;
    m_dragRow = m_markRow = m_intoRow = -1;
    m_markSide = 0;
    viewport()->unsetCursor();
    setState(QAbstractItemView::NoState);
    viewport()->update();
}

void CDragCheckListBox::Drop(const QPoint& point)
{
    int target = -1;
    const int kind = DropKindAt(point, target);
    const int from = m_dragRow;
    CancelDrag();
    if (kind < 0)
        return;
    CLayer* dragged = GetLayer(from);
    CLayer* onto = GetLayer(target);
    const int check = GetCheck(from);
    DeleteRow(from);
    if (kind == ILegendListOwner::kDropBefore || kind == ILegendListOwner::kDropAfter)
        SetCurSel(InsertLayer(target, dragged, check));
    if (m_owner)
        m_owner->OnLayerDrop({dragged, onto, kind});
}
