#include "search/widgets/RecordEditDlg.h"

#include "core/DbfTable.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "search/RecordForm.h"
#include "search/widgets/AddressEntryDlg.h"
#include "search/widgets/MemoEditDlg.h"
#include "shell/widgets/ControlIds.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kMemoButtonText = 3024;
constexpr int kLabelCharacters = 24;
constexpr int kEditCharacters = 36;
constexpr int kGap = 4;

// The form's key of a key press; false for other keys.
bool FormKey(const QKeyEvent& key, RecordForm::Key& formKey)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Tab:
        if (modifiers & Qt::ShiftModifier) {
            formKey = RecordForm::Key::kBacktab;
            return true;
        }
        formKey = RecordForm::Key::kTab;
        return modifiers == Qt::NoModifier;
    case Qt::Key_Backtab: formKey = RecordForm::Key::kBacktab; return true;
    case Qt::Key_Up: formKey = RecordForm::Key::kUp; return modifiers == Qt::NoModifier;
    case Qt::Key_Down: formKey = RecordForm::Key::kDown; return modifiers == Qt::NoModifier;
    case Qt::Key_PageUp: formKey = RecordForm::Key::kPageUp; return modifiers == Qt::NoModifier;
    case Qt::Key_PageDown: formKey = RecordForm::Key::kPageDown; return modifiers == Qt::NoModifier;
    default: return false;
    }
}

} // namespace

// ------------------------------------------------------------ panel

CRecordFormPanel::CRecordFormPanel(QWidget* parent)
    : QFrame(parent), m_viewport(new QWidget(this)), m_bar(new QScrollBar(Qt::Vertical, this))
{
    SetControlId(this, kPanelId);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
    layout->setSpacing(0);
    layout->addWidget(m_viewport);
    layout->addWidget(m_bar);
    m_bar->setSingleStep(1);
    connect(m_bar, &QScrollBar::valueChanged, this, [this] { PlaceRows(); });
}

void CRecordFormPanel::SetRows(std::vector<Row> rows, int rowHeight, int visibleRows, int labelWidth, int editWidth)
{
    m_rows = std::move(rows);
    m_rowHeight = std::max(rowHeight, 1);
    m_visible = visibleRows;
    const int count = static_cast<int>(m_rows.size());
    for (int r = 0; r < count; ++r) {
        Row& row = m_rows[static_cast<size_t>(r)];
        QWidget* control = RowControl(r);
        row.label->setParent(m_viewport);
        row.label->setGeometry(kGap, 0, labelWidth, m_rowHeight);
        control->setParent(m_viewport);
        const int width = row.memo ? std::min(editWidth, row.memo->sizeHint().width() + 2 * kGap) : editWidth;
        control->setGeometry(2 * kGap + labelWidth, 0, width, m_rowHeight);
        control->installEventFilter(this);
    }
    m_viewport->setFixedSize(3 * kGap + labelWidth + editWidth, m_visible * m_rowHeight);
    m_bar->setRange(0, RecordForm::ScrollMax(count, m_visible));
    m_bar->setPageStep(m_visible);
    m_bar->setVisible(m_bar->maximum() > 0);
    PlaceRows();
}

int CRecordFormPanel::GetScroll() const
{
    return m_bar->value();
}

void CRecordFormPanel::SetScroll(int scroll)
{
    m_bar->setValue(RecordForm::ClampScroll(scroll, static_cast<int>(m_rows.size()), m_visible));
}

QWidget* CRecordFormPanel::RowControl(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    const Row& r = m_rows[static_cast<size_t>(row)];
    return r.edit ? static_cast<QWidget*>(r.edit) : static_cast<QWidget*>(r.memo);
}

void CRecordFormPanel::FocusRow(int row, Qt::FocusReason reason)
{
    QWidget* control = RowControl(row);
    if (!control)
        return;
    SetScroll(RecordForm::ScrollToShow(GetScroll(), row, static_cast<int>(m_rows.size()), m_visible));
    control->setFocus(reason);
    if (auto* edit = qobject_cast<QLineEdit*>(control);
        edit && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason))
        edit->selectAll();
}

void CRecordFormPanel::SetNeighbours(QWidget* next, QWidget* previous)
{
    m_next = next;
    m_previous = previous;
}

int CRecordFormPanel::RowOf(const QObject* control) const
{
    for (int r = 0, count = static_cast<int>(m_rows.size()); r < count; ++r)
        if (RowControl(r) == control)
            return r;
    return -1;
}

void CRecordFormPanel::PlaceRows()
{
    const int scroll = GetScroll();
    for (int r = 0, count = static_cast<int>(m_rows.size()); r < count; ++r) {
        const int y = (r - scroll) * m_rowHeight;
        Row& row = m_rows[static_cast<size_t>(r)];
        row.label->move(row.label->x(), y);
        QWidget* control = RowControl(r);
        control->move(control->x(), y);
    }
}

bool CRecordFormPanel::eventFilter(QObject* watched, QEvent* event)
{
    const int row = RowOf(watched);
    if (row < 0)
        return QFrame::eventFilter(watched, event);
    const int count = static_cast<int>(m_rows.size());
    if (event->type() == QEvent::FocusIn) {
        SetScroll(RecordForm::ScrollToShow(GetScroll(), row, count, m_visible));
        return false;
    }
    RecordForm::Key key;
    if (event->type() != QEvent::KeyPress || !FormKey(*static_cast<QKeyEvent*>(event), key))
        return false;
    const RecordForm::Move move = RecordForm::MoveFocus(key, row, count, m_visible, GetScroll());
    switch (move.kind) {
    case RecordForm::Move::kNextControl:
        if (m_next)
            m_next->setFocus(Qt::TabFocusReason);
        break;
    case RecordForm::Move::kPreviousControl:
        if (m_previous)
            m_previous->setFocus(Qt::BacktabFocusReason);
        break;
    case RecordForm::Move::kRow: {
        SetScroll(move.scroll);
        const bool tab = key == RecordForm::Key::kTab || key == RecordForm::Key::kBacktab;
        FocusRow(move.row, tab ? (key == RecordForm::Key::kTab ? Qt::TabFocusReason : Qt::BacktabFocusReason)
                               : Qt::OtherFocusReason);
        break;
    }
    }
    return true;
}

void CRecordFormPanel::wheelEvent(QWheelEvent* event)
{
    QCoreApplication::sendEvent(m_bar, event);
}

// ------------------------------------------------------------ dialog

CRecordEditDlg::CRecordEditDlg(CDbfTable* table, int record, CDrelDoc* document, CLayer* layer, QWidget* parent)
    : CDialogBase(parent), m_table(table), m_record(record), m_document(document), m_layer(layer),
      m_panel(new CRecordFormPanel(this)), m_save(new QPushButton(QString::fromUtf8("Išsaugoti"), this)),
      m_cancel(new QPushButton(QString::fromUtf8("Atsisakyti"), this))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Informacijos redagavimas"));
    SetControlId(m_save, kSaveButton);
    SetControlId(m_cancel, kCancelButton);
    m_save->setDefault(true);
    m_save->installEventFilter(this);
    m_cancel->installEventFilter(this);
    m_panel->SetNeighbours(m_save, m_cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CRecordEditDlg::DoModal()
{
    if (!m_table || !m_table->IsOpen())
        return IDCANCEL;
    if (m_record >= 0 && !m_table->GoToRecord(m_record))
        return IDCANCEL;
    if (m_document && m_layer) {
        CAddressEntryPrompt prompt = m_addressPrompt;
        if (!prompt)
            prompt = [this](CAddressEntryValues& values, CLayer& streets, CDrelDoc& document) {
                return RunAddressEntry(values, streets, document, parentWidget());
            };
        // A record handled whole needs no form, unless writing it failed:
        // then the form keeps what was set for another try.
        if (EditAddressRecord(*m_table, *m_document, *m_layer, prompt) == kRecordHandled && m_table->WriteRecord())
            return IDOK;
    }
    BuildRows();
    if (m_panel->Rows().empty())
        return IDOK;
    return CDialogBase::DoModal();
}

void CRecordEditDlg::BuildRows()
{
    const QFontMetrics metrics(font());
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('x'));
    std::vector<CRecordFormPanel::Row> rows;
    int labelWidth = 0;
    int rowHeight = 0;
    for (int field : RecordForm::RowFields(*m_table)) {
        const int id = RecordForm::kFirstRowId + static_cast<int>(rows.size());
        CRecordFormPanel::Row& row = rows.emplace_back();
        row.field = field;
        row.label = new QLabel(ToQString(m_table->GetFieldCaption(field) + ":"), this);
        labelWidth = std::max(labelWidth, row.label->sizeHint().width());
        if (m_table->GetFieldType(field) == 'M') {
            row.memo = new QPushButton(ToQString(LoadString(kMemoButtonText)), this);
            SetControlId(row.memo, id);
            m_table->GetMemo(field, row.memoText);
            const int r = static_cast<int>(rows.size()) - 1;
            connect(row.memo, &QPushButton::clicked, this, [this, r] { OnMemo(r); });
            row.memo->setAutoDefault(false);
            continue;
        }
        row.edit = new QLineEdit(this);
        SetControlId(row.edit, id);
        row.edit->setMaxLength(std::max(m_table->GetFieldLength(field), 1));
        std::string text;
        m_table->GetFieldString(field, text);
        row.edit->setText(ToQString(text));
        rowHeight = std::max(rowHeight, row.edit->sizeHint().height());
    }
    if (rowHeight == 0)
        rowHeight = QLineEdit().sizeHint().height();
    labelWidth = std::min(labelWidth, charWidth * kLabelCharacters);
    const int count = static_cast<int>(rows.size());
    const int visible = RecordForm::VisibleRows(kAreaRows * rowHeight, rowHeight, count);
    m_panel->SetRows(std::move(rows), rowHeight, visible, labelWidth, charWidth * kEditCharacters);
}

void CRecordEditDlg::OnInitDialog()
{
    m_panel->FocusRow(0, Qt::TabFocusReason);
}

void CRecordEditDlg::OnMemo(int row)
{
    CRecordFormPanel::Row& r = m_panel->Rows()[static_cast<size_t>(row)];
    CMemoEditDlg dialog(m_table->GetFieldTitle(r.field), r.memoText, this);
    if (dialog.DoModal() != IDOK)
        return;
    r.memoText = dialog.GetText();
    r.memoChanged = true;
}

void CRecordEditDlg::OnOK()
{
    std::vector<RecordForm::RowValue> values;
    for (const CRecordFormPanel::Row& row : m_panel->Rows()) {
        RecordForm::RowValue& value = values.emplace_back();
        value.field = row.field;
        value.changed = row.edit ? row.edit->isModified() : row.memoChanged;
        value.text = row.edit ? FromQString(row.edit->text()) : row.memoText;
    }
    if (RecordForm::Save(*m_table, m_record, values))
        EndDialog(IDOK);
}

bool CRecordEditDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_save || watched == m_cancel)) {
        RecordForm::Key key;
        if (FormKey(*static_cast<QKeyEvent*>(event), key)) {
            const int last = static_cast<int>(m_panel->Rows().size()) - 1;
            if (watched == m_save && key == RecordForm::Key::kBacktab) {
                m_panel->FocusRow(last, Qt::BacktabFocusReason);
                return true;
            }
            if (watched == m_cancel && key == RecordForm::Key::kTab) {
                m_panel->FocusRow(0, Qt::TabFocusReason);
                return true;
            }
        }
    }
    return CDialogBase::eventFilter(watched, event);
}
