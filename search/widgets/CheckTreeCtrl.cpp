#include "search/widgets/CheckTreeCtrl.h"

#include "platform/Icon.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kIdRole = Qt::UserRole + 0x100;
// Room around the state picture.
constexpr int kStateMargin = 1;
constexpr int kStateWidth = CheckTreeCtrl::kImageSize + 2 * kStateMargin;

// The state picture's place in an item's cell.
QRect StateRectIn(const QRect& cell)
{
    return QRect(cell.left() + kStateMargin, cell.top() + (cell.height() - CheckTreeCtrl::kImageSize) / 2,
                 CheckTreeCtrl::kImageSize, CheckTreeCtrl::kImageSize);
}

} // namespace

// Draws the state picture in front of the item's own picture and text.
class CheckTreeCtrl::CDelegate : public QStyledItemDelegate {
public:
    explicit CDelegate(CheckTreeCtrl& tree) : QStyledItemDelegate(&tree), m_tree(tree) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QTreeWidgetItem* item = m_tree.itemFromIndex(index);
        painter->drawPixmap(StateRectIn(option.rect), m_tree.StateImage(m_tree.GetCheckState(item)));
        QStyleOptionViewItem rest(option);
        rest.rect.setLeft(option.rect.left() + kStateWidth);
        QStyledItemDelegate::paint(painter, rest, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return QSize(size.width() + kStateWidth, std::max(size.height(), CheckTreeCtrl::kImageSize + 2));
    }

private:
    CheckTreeCtrl& m_tree;
};

CheckTreeCtrl::CheckTreeCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(kImageSize, kImageSize));
    setItemDelegate(new CDelegate(*this));
    LoadStateImages(kStateBitmap);
}

void CheckTreeCtrl::SetStateImages(const QPixmap& strip)
{
    m_stateImages.clear();
    for (int x = 0; x + kImageSize <= strip.width(); x += kImageSize)
        m_stateImages.push_back(strip.copy(x, 0, kImageSize, std::min(kImageSize, strip.height())));
    Changed();
}

bool CheckTreeCtrl::LoadStateImages(int bitmapId)
{
    CIcon bitmap;
    if (!bitmap.LoadResource(bitmapId))
        return false;
    SetStateImages(QPixmap::fromImage(*bitmap.Image()));
    return true;
}

const QPixmap& CheckTreeCtrl::StateImage(int state) const
{
    static const QPixmap none;
    const int index = state - CCheckTreeModel::kUnchecked;
    return index >= 0 && index < static_cast<int>(m_stateImages.size()) ? m_stateImages[static_cast<size_t>(index)]
                                                                        : none;
}

QTreeWidgetItem* CheckTreeCtrl::InsertItem(const QString& text, int image, QTreeWidgetItem* parent)
{
    const int id = m_model.AddItem(parent ? IdOf(parent) : CCheckTreeModel::kNoItem);
    auto* item = new QTreeWidgetItem({text});
    item->setData(0, kIdRole, id);
    if (image >= 0 && image < static_cast<int>(m_images.size()))
        item->setIcon(0, QIcon(m_images[static_cast<size_t>(image)]));
    if (parent && IdOf(parent) >= 0)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void CheckTreeCtrl::DeleteAllItems()
{
    clear();
    m_model.Clear();
}

int CheckTreeCtrl::IdOf(const QTreeWidgetItem* item) const
{
    if (!item || item->treeWidget() != this)
        return CCheckTreeModel::kNoItem;
    bool ok = false;
    const int id = item->data(0, kIdRole).toInt(&ok);
    return ok && m_model.IsItem(id) ? id : CCheckTreeModel::kNoItem;
}

int CheckTreeCtrl::GetCheckState(const QTreeWidgetItem* item) const
{
    return m_model.GetState(IdOf(item));
}

bool CheckTreeCtrl::GetCheck(const QTreeWidgetItem* item) const
{
    return m_model.IsChecked(IdOf(item));
}

void CheckTreeCtrl::SetCheck(QTreeWidgetItem* item, bool check)
{
    m_model.SetCheck(IdOf(item), check);
    Changed();
}

void CheckTreeCtrl::SetDescendants(QTreeWidgetItem* item, int state)
{
    m_model.SetDescendants(IdOf(item), state);
    Changed();
}

void CheckTreeCtrl::UpdateParents(QTreeWidgetItem* item)
{
    m_model.UpdateParents(IdOf(item));
    Changed();
}

void CheckTreeCtrl::CheckAll()
{
    m_model.CheckAll();
    Changed();
}

void CheckTreeCtrl::Toggle(QTreeWidgetItem* item)
{
    m_model.Toggle(IdOf(item));
    Changed();
}

QRect CheckTreeCtrl::StateImageRect(const QTreeWidgetItem* item) const
{
    if (IdOf(item) < 0)
        return {};
    const QRect cell = visualItemRect(item);
    return cell.isEmpty() ? QRect() : StateRectIn(cell);
}

QTreeWidgetItem* CheckTreeCtrl::StateImageAt(const QPoint& point) const
{
    QTreeWidgetItem* item = itemAt(point);
    return item && StateImageRect(item).contains(point) ? item : nullptr;
}

void CheckTreeCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        if (QTreeWidgetItem* item = StateImageAt(event->position().toPoint())) {
            setFocus(Qt::MouseFocusReason);
            Toggle(item);
            event->accept();
            return;
        }
    QTreeWidget::mousePressEvent(event);
}

void CheckTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click on a box is one more click on it.
    if (event->button() == Qt::LeftButton && StateImageAt(event->position().toPoint())) {
        mousePressEvent(event);
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void CheckTreeCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && currentItem()) {
        Toggle(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
