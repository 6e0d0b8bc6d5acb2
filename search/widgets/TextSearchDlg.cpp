#include "search/widgets/TextSearchDlg.h"

#include "core/DbfTable.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "search/TableGridModel.h"
#include "search/widgets/TableView.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum : int { kTextEdit = 1017, kFieldCombo = 1012, kWholeValue = 1015, kMatchCase = 1016, kMarkAll = 1065 };

// "<Visi laukai>"
constexpr char kAllFields[] = "<Visi laukai>";

// What the last search was asked, for every table window of the run.
struct CSearchValues {
    std::string text;
    int wholeValue = 0;
    int matchCase = 0;
    int markAll = 0;
};

CSearchValues& Values()
{
    static CSearchValues values;
    return values;
}

} // namespace

CTextSearchDlg::CTextSearchDlg(CTableView& view, QWidget* parent) : CDialogBase(parent), m_view(view)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Teksto paieška"));
    setModal(false);

    auto* text = WithId(kTextEdit, new QLineEdit(this));
    m_fields = WithId(kFieldCombo, new QComboBox(this));
    m_fields->addItem(QString::fromLatin1(kAllFields));
    if (const CTableGridModel* model = view.Model())
        for (int column = 0; column < model->columnCount(); ++column)
            m_fields->addItem(ToQString(model->ColumnCaption(column)));
    m_fields->setCurrentIndex(0);
    auto* textLabel = new QLabel(QString::fromUtf8("&Ieškoti:"), this);
    textLabel->setBuddy(text);
    auto* fieldLabel = new QLabel(QString::fromUtf8("&Laukas:"), this);
    fieldLabel->setBuddy(m_fields);
    auto* search = WithId(IDOK, new QPushButton(QString::fromUtf8("Ieškoti"), this));
    search->setDefault(true);
    auto* close = WithId(IDCANCEL, new QPushButton(QString::fromUtf8("Baigti"), this));

    auto* grid = new QGridLayout;
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(text, 0, 1);
    grid->addWidget(search, 0, 2);
    grid->addWidget(fieldLabel, 1, 0);
    grid->addWidget(m_fields, 1, 1);
    grid->addWidget(close, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(
        WithId(kWholeValue, new QCheckBox(QString::fromUtf8("Lauko &reikšmė turi sutapti su ieškomu tekstu"), this)));
    layout->addWidget(WithId(kMatchCase, new QCheckBox(QString::fromUtf8("&Skirti didžiąsias ir mažąsias raides"), this)));
    layout->addWidget(WithId(kMarkAll, new QCheckBox(QString::fromUtf8("&Pažymėti visus rastus įrašus"), this)));
    setMinimumWidth(380);
}

void CTextSearchDlg::DoDataExchange(CDataExchange& dx)
{
    CSearchValues& values = Values();
    dx.Text(kTextEdit, values.text);
    dx.Check(kWholeValue, values.wholeValue);
    dx.Check(kMatchCase, values.matchCase);
    dx.Check(kMarkAll, values.markAll);
}

void CTextSearchDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    const CSearchValues& values = Values();
    m_view.FindText({values.text, FromQString(m_fields->currentText()), values.wholeValue != 0,
                     values.matchCase != 0, values.markAll != 0});
}
