#include "search/widgets/ExpressionDlg.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/FilterCondition.h"
#include "settings/widgets/SheetControls.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr char kNoErrors[] = "Reiškinyje nėra klaidų.";

QLabel* MakeText(QWidget* parent, int id)
{
    auto* label = WithId(id, new QLabel(parent));
    label->setWordWrap(true);
    label->setMinimumHeight(label->fontMetrics().height());
    return label;
}

} // namespace

CExpressionDlg::CExpressionDlg(const CLayer& layer, QWidget* parent)
    : CDialogBase(parent),
      m_layer(layer),
      m_fields(ChoosableFields(layer)),
      m_edit(WithId(kExpressionEdit, new QPlainTextEdit(this))),
      m_fieldList(WithId(kFieldList, new QListWidget(this))),
      m_values(WithId(kValueList, new QListWidget(this))),
      m_signature(MakeText(this, kSignatureText)),
      m_explanation(MakeText(this, kExplanationText))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Reiškinys"));
    m_edit->setMinimumSize(420, 80);
    for (const CFieldChoice& field : m_fields) {
        auto* item = new QListWidgetItem(ToQString(field.name), m_fieldList);
        item->setData(Qt::UserRole, static_cast<int>(field.type));
        item->setToolTip(ToQString(field.alias));
    }
    auto* fill = MakeCheck(this, kFillCheck, "&Užpildyti");
    auto* check = MakeButton(this, kCheckButton, "&Tikrinti");

    auto* combos = new QGridLayout;
    const std::pair<int, const char*> labels[] = {
        {kTextCombo, "&Tekstiniai:"}, {kMathCombo, "&Matematiniai:"}, {kLogicalCombo, "&Loginiai:"},
        {kDateCombo, "&Datos:"}};
    const ExprEntryGroup groups[] = {ExprEntryGroup::Text, ExprEntryGroup::Math, ExprEntryGroup::Logical,
                                     ExprEntryGroup::Date};
    for (int i = 0; i < 4; ++i) {
        QComboBox* combo = MakeEntryCombo(labels[i].first, groups[i]);
        combos->addWidget(MakeLabel(this, 0, labels[i].second, combo), 0, i);
        combos->addWidget(combo, 1, i);
    }
    auto* lists = new QGridLayout;
    lists->addWidget(MakeLabel(this, 0, "L&aukai:", m_fieldList), 0, 0);
    lists->addWidget(m_fieldList, 1, 0);
    lists->addWidget(MakeLabel(this, 0, "&Reikšmės:", m_values), 0, 1);
    lists->addWidget(m_values, 1, 1);
    lists->addWidget(fill, 2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(check);
    bottom->addStretch();
    bottom->addLayout(MakeOkCancelRow());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit, 1);
    layout->addLayout(combos);
    layout->addWidget(m_signature);
    layout->addWidget(m_explanation);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);

    connect(m_fieldList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const std::string name = FromQString(item->text());
        Insert(name, static_cast<int>(name.size()));
    });
    connect(m_fieldList, &QListWidget::currentRowChanged, this, [this] { OnFieldChosen(); });
    connect(fill, &QCheckBox::clicked, this, [this] { OnFieldChosen(); });
    connect(m_values, &QListWidget::itemDoubleClicked, this, [this] { OnValueChosen(); });
    connect(check, &QPushButton::clicked, this, [this] {
        if (CheckExpression())
            AppMessageBox(Utf8ToCp1257(kNoErrors), MB_OK | MB_ICONINFORMATION);
    });
}

QComboBox* CExpressionDlg::MakeEntryCombo(int id, ExprEntryGroup group)
{
    auto* combo = WithId(id, new QComboBox(this));
    for (const CExprEntry& entry : ExprEntries(group))
        combo->addItem(ToQString(entry.name), entry.row);
    combo->setCurrentIndex(-1);
    combo->installEventFilter(this);
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { Describe(combo); });
    connect(combo, &QComboBox::activated, this, [this, combo](int index) {
        const CExprInsertion insertion = ExprEntryInsertion(combo->itemData(index).toInt());
        Insert(insertion.text, insertion.caret);
    });
    return combo;
}

bool CExpressionDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto* combo = qobject_cast<QComboBox*>(watched))
            Describe(combo);
    return CDialogBase::eventFilter(watched, event);
}

void CExpressionDlg::Describe(const QComboBox* combo)
{
    if (combo->currentIndex() < 0)
        return;
    const int row = combo->currentData().toInt();
    m_signature->setText(ToQString(ExprEntrySignature(row)));
    m_explanation->setText(ToQString(ExprEntryExplanation(row)));
}

void CExpressionDlg::Insert(const std::string& text, int caret)
{
    QTextCursor cursor = m_edit->textCursor();
    const int start = cursor.selectionStart();
    const QString inserted = ToQString(text);
    cursor.insertText(inserted);
    // The caret's place counted in characters of what was inserted.
    cursor.setPosition(start + ToQString(text.substr(0, static_cast<size_t>(caret))).size());
    m_edit->setTextCursor(cursor);
    m_edit->setFocus();
}

void CExpressionDlg::OnFieldChosen()
{
    const QListWidgetItem* item = m_fieldList->currentItem();
    if (!item || !FindControl<QCheckBox>(this, kFillCheck)->isChecked())
        return;
    const std::string field = FromQString(item->text());
    if (field == m_filledFor)
        return;
    m_filledFor = field;
    std::vector<std::string> values;
    {
        CWaitCursor wait;
        GetConditionValues(m_layer, field, values);
    }
    m_values->clear();
    for (const std::string& value : values)
        m_values->addItem(ToQString(value));
}

void CExpressionDlg::OnValueChosen()
{
    const QListWidgetItem* field = m_fieldList->currentItem();
    const QListWidgetItem* value = m_values->currentItem();
    if (!field || !value)
        return;
    const std::string text =
        ExprValueText(static_cast<char>(field->data(Qt::UserRole).toInt()), FromQString(value->text()));
    Insert(text, static_cast<int>(text.size()));
}

void CExpressionDlg::OnInitDialog()
{
    m_edit->setPlainText(ToQString(m_text));
}

bool CExpressionDlg::CheckExpression()
{
    m_text = FromQString(m_edit->toPlainText());
    CDbfTable table;
    CExprCheck check;
    {
        CHeldMessages quiet;
        if (m_layer.OpenTable(table))
            check = CheckFilterExpression(table, m_text);
    }
    if (!table.IsOpen()) {
        AppMessageBoxArg(1007, m_layer.GetTablePath());
        return false;
    }
    if (check.code == 0)
        return true;
    AppMessageBox(FormatExprError(check.code), MB_OK | MB_ICONWARNING);
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(ToQString(m_text.substr(0, std::min<size_t>(check.position, m_text.size()))).size());
    m_edit->setTextCursor(cursor);
    m_edit->setFocus();
    return false;
}

void CExpressionDlg::OnOK()
{
    m_text = FromQString(m_edit->toPlainText());
    EndDialog(IDOK);
}
