#include "search/widgets/InfoListBox.h"

#include "mapdoc/widgets/ResourceCursor.h"
#include "platform/QtText.h"
#include "search/AttributeLinks.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

const QColor kNameColour(0, 0, 128);
const QColor kLinkColour(0, 128, 0);
// Text stands this far from the left edge and from the separator.
constexpr int kTextGap = 3;

} // namespace

// Draws an entry as the rules of CInfoLines lay it out.
class CInfoListBox::CDelegate : public QStyledItemDelegate {
public:
    explicit CDelegate(CInfoListBox& box) : QStyledItemDelegate(&box), m_box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const CInfoLines& lines = m_box.Lines();
        const int row = index.row();
        if (row < 0 || row >= lines.GetCount())
            return;
        const std::string& text = lines.Entries()[static_cast<size_t>(row)].text;
        const bool link = lines.IsLink(row);
        const QRect r = option.rect;
        const QPalette& palette = m_box.palette();
        const int separator = r.left() + m_box.SeparatorX();

        painter->save();
        painter->fillRect(r, palette.color(QPalette::Base));
        painter->setPen(palette.color(QPalette::Text));
        if (lines.HasBottomLine(row))
            painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter->drawLine(separator, r.top(), separator, r.bottom());

        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        if (text.find('\t') != std::string::npos) {
            painter->setFont(m_box.BoldFont());
            painter->setPen(kNameColour);
            painter->drawText(QRect(r.left() + kTextGap, r.top(), separator - r.left() - kTextGap, r.height()), flags,
                              ToQString(CInfoLines::NamePart(text)));
        }
        painter->setFont(link ? m_box.UnderlinedFont() : m_box.font());
        painter->setPen(link ? kLinkColour : palette.color(QPalette::Text));
        const QRect value(separator + kTextGap, r.top(), r.right() - separator - kTextGap, r.height());
        painter->drawText(value, flags, ToQString(CInfoLines::ValuePart(text)));

        if (option.state & QStyle::State_HasFocus) {
            // Drawn over what is there, so it shows on any value.
            painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter->setPen(QPen(Qt::white, 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(QRect(separator + 1, r.top(), r.right() - separator - 1, r.height() - 1));
        }
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(m_box.viewport()->width(), m_box.ItemHeight());
    }

private:
    CInfoListBox& m_box;
};

CInfoListBox::CInfoListBox(QWidget* parent) : QListWidget(parent)
{
    SetControlId(this, kControlId);
    setItemDelegate(new CDelegate(*this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::NoContextMenu);
    viewport()->setMouseTracking(true);
    MakeFonts();

    m_actions = new CCommandActions(this, [this] {
        CCommandRoute route;
        route.Add(&m_commands);
        return route;
    });
    const auto linkSelected = [this](CCommandState& state) { state.Enable(m_lines.IsLink(currentRow())); };
    m_commands.On(kCmdOpenLink, [this] { OpenSelectedLink(false); });
    m_commands.OnUpdate(kCmdOpenLink, linkSelected);
    m_commands.On(kCmdOpenWithDefault, [this] { OpenSelectedLink(true); });
    m_commands.OnUpdate(kCmdOpenWithDefault, linkSelected);
}

CInfoListBox::~CInfoListBox() = default;

void CInfoListBox::MakeFonts()
{
    m_bold = font();
    m_bold.setWeight(QFont::DemiBold);
    m_underlined = font();
    m_underlined.setUnderline(true);
    const QFontMetrics bold(m_bold);
    m_itemHeight = bold.height() + 2;
    m_averageCharWidth = bold.averageCharWidth();
    m_separatorX = m_lines.SeparatorX(m_averageCharWidth);
}

void CInfoListBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        MakeFonts();
        doItemsLayout();
    }
    QListWidget::changeEvent(event);
}

void CInfoListBox::SetInfo(const std::vector<std::string>& lines, const std::string& folder)
{
    setUpdatesEnabled(false);
    m_lines.SetInfo(lines, folder);
    clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const CInfoEntry& entry : m_lines.Entries())
        texts << ToQString(entry.text);
    addItems(texts);
    m_separatorX = m_lines.SeparatorX(m_averageCharWidth);
    setUpdatesEnabled(true);
    viewport()->update();
}

int CInfoListBox::RowAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : -1;
}

void CInfoListBox::OpenSelectedLink(bool defaultProgram)
{
    const int row = currentRow();
    if (m_lines.IsLink(row))
        OpenAttributeLink(m_lines.LinkValue(row), m_lines.GetFolder(), defaultProgram, LinkPrograms());
}

void CInfoListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        if (const int row = RowAt(event->position().toPoint()); row >= 0)
            setCurrentRow(row);
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void CInfoListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        const int row = RowAt(event->position().toPoint());
        if (row >= 0 && row == currentRow() && m_lines.IsLink(row))
            if (QMenu* menu = m_actions->PopupMenu(kLinkMenu, 0))
                menu->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QListWidget::mouseReleaseEvent(event);
}

void CInfoListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QCursor* hand = m_lines.IsLink(RowAt(event->position().toPoint())) ? ResourceCursor(kHandCursor) : nullptr;
    if (hand)
        viewport()->setCursor(*hand);
    else
        viewport()->unsetCursor();
    QListWidget::mouseMoveEvent(event);
}

void CInfoListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && RowAt(event->position().toPoint()) == currentRow())
        OpenSelectedLink(false);
}
