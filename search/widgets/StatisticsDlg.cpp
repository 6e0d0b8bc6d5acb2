#include "search/widgets/StatisticsDlg.h"

#include "core/DbfTable.h"
#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

enum : int { kFieldList = 1014, kAsZero = 1024, kPassedOver = 1025 };
enum : int { kCaption = 1017, kCount = 1007, kSum = 1008, kMinimum = 1009, kMaximum = 1010, kMean = 1011 };

// The choice for empty values, for the process: 0 as zero, 1 passed over.
int& EmptyValues()
{
    static int choice = 0;
    return choice;
}

QString Number(double value)
{
    return QString::fromStdString(FormatC("%.15g", value));
}

} // namespace

CStatisticsDlg::CStatisticsDlg(CDbfTable& table, QWidget* parent) : CDialogBase(parent), m_table(table)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Statistikos skaičiavimas"));
    m_fields = WithId(kFieldList, new QListWidget(this));
    for (int field = 0; field < table.GetFieldCount(); ++field)
        if (table.IsFieldShown(field))
            m_fields->addItem(ToQString(table.GetFieldCaption(field)));
    m_fields->setCurrentRow(0);
    auto* fieldsLabel = new QLabel(QString::fromUtf8("Laukai:"), this);
    fieldsLabel->setBuddy(m_fields);

    auto* empty = new QGroupBox(QString::fromUtf8("Neįvestos reikšmės"), this);
    auto* emptyLayout = new QVBoxLayout(empty);
    emptyLayout->addWidget(WithId(kAsZero, new QRadioButton(QString::fromUtf8("&Lygios nuliui"), empty)));
    emptyLayout->addWidget(WithId(kPassedOver, new QRadioButton(QString::fromUtf8("&Neskaičiuojamos"), empty)));
    emptyLayout->addStretch();

    auto* compute = WithId(IDOK, new QPushButton(QString::fromUtf8("&Statistika..."), this));
    compute->setDefault(true);
    auto* close = WithId(IDCANCEL, new QPushButton(QString::fromUtf8("Baigti"), this));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(empty);
    buttons->addStretch();
    buttons->addWidget(compute);
    buttons->addWidget(close);

    auto* list = new QVBoxLayout;
    list->addWidget(fieldsLabel);
    list->addWidget(m_fields);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(list, 1);
    layout->addLayout(buttons);
    resize(400, 260);
    connect(m_fields, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
}

void CStatisticsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kAsZero, kPassedOver}, EmptyValues());
}

void CStatisticsDlg::OnOK()
{
    if (!UpdateData(true) || !m_fields->currentItem())
        return;
    CFieldStatistics statistics;
    {
        CWaitCursor wait;
        if (!ComputeFieldStatistics(m_table, FromQString(m_fields->currentItem()->text()), EmptyValues() == 0,
                                    statistics))
            return;
    }
    CStatisticsResultDlg result(statistics, this);
    result.DoModal();
}

CStatisticsResultDlg::CStatisticsResultDlg(const CFieldStatistics& statistics, QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Statistika pagal lauką"));
    auto* form = new QFormLayout;
    const auto row = [this, form](const char* label, int id, const QString& value) {
        auto* shown = WithId(id, new QLabel(value, this));
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromUtf8(label), shown);
    };
    row("Lauko vardas:", kCaption, ToQString(statistics.caption));
    row("Įrašų skaičius:", kCount, QString::number(statistics.count));
    row("Suma:", kSum, Number(statistics.sum));
    row("Minimali reikšmė:", kMinimum, Number(statistics.minimum));
    row("Maksimali reikšmė:", kMaximum, Number(statistics.maximum));
    row("Vidurkis:", kMean, ToQString(statistics.mean));
    auto* close = WithId(IDCANCEL, new QPushButton(QString::fromUtf8("Baigti"), this));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(280);
}
