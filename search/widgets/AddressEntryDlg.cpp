#include "search/widgets/AddressEntryDlg.h"

#include "mapdoc/AddressTable.h"
#include "mapdoc/DrelDoc.h"
#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "search/widgets/NameCombo.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstddef>

namespace {
constexpr int kNumberOutOfRange = 61911;
constexpr int kStreetCharacters = 30;
} // namespace

CAddressEntryDlg::CAddressEntryDlg(CAddressEntryValues& values, CLayer& streets, CDrelDoc& document,
                                   QWidget* parent)
    : CDialogBase(parent), m_values(values), m_streets(streets), m_document(document)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Adreso įvedimas"));
    const int charWidth = QFontMetrics(font()).horizontalAdvance(QLatin1Char('x'));
    auto* grid = new QGridLayout;
    const int streetIds[] = {kStreet, kStreet2};
    const int numberIds[] = {kNumber, kNumber2};
    const char* streetLabels[] = {"&Gatvė:", "&Antra gatvė:"};
    const char* numberLabels[] = {"&Namo nr.:", "Namo n&r.:"};
    for (int i = 0; i < 2; ++i) {
        auto* streetLabel = new QLabel(QString::fromUtf8(streetLabels[i]), this);
        m_street[i] = new CNameCombo(this);
        SetControlId(m_street[i], streetIds[i]);
        m_street[i]->setMinimumWidth(charWidth * kStreetCharacters);
        streetLabel->setBuddy(m_street[i]);
        auto* numberLabel = new QLabel(QString::fromUtf8(numberLabels[i]), this);
        m_number[i] = new QLineEdit(this);
        SetControlId(m_number[i], numberIds[i]);
        m_number[i]->setMaxLength(kNumberLength);
        m_number[i]->setFixedWidth(charWidth * 8);
        numberLabel->setBuddy(m_number[i]);
        if (i == 1) {
            SetControlId(streetLabel, kStreet2Label);
            for (QWidget* control : {static_cast<QWidget*>(streetLabel), static_cast<QWidget*>(m_street[i]),
                                     static_cast<QWidget*>(numberLabel), static_cast<QWidget*>(m_number[i])})
                control->setEnabled(m_values.secondAddress);
        }
        grid->addWidget(streetLabel, i, 0);
        grid->addWidget(m_street[i], i, 1);
        grid->addWidget(numberLabel, i, 2);
        grid->addWidget(m_number[i], i, 3);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(MakeOkCancelRow());
}

int CAddressEntryDlg::DoModal()
{
    if (!m_document.Settings().addressesLayer.empty()) {
        std::vector<CNameEntry> entries;
        if (!ReadStreetEntries(m_streets, m_document.Settings().codeField, entries))
            return IDCANCEL;
        m_choice = MakeStreetChoice(std::move(entries), m_values.streetCode, m_values.streetCode2);
        m_list.Assign(m_choice.entries);
    }
    return CDialogBase::DoModal();
}

void CAddressEntryDlg::OnInitDialog()
{
    const int selected[] = {m_choice.selected, m_choice.selected2};
    const std::string* numbers[] = {&m_values.number, &m_values.number2};
    for (int i = 0; i < 2; ++i) {
        m_street[i]->SetList(i == 0 || m_values.secondAddress ? &m_list : nullptr);
        m_street[i]->setCurrentIndex(i == 0 || m_values.secondAddress ? selected[i] : -1);
        if (selected[i] < 0)
            m_street[i]->SetText({});
        m_number[i]->setText(ToQString(*numbers[i]));
    }
    m_street[0]->setFocus();
}

void CAddressEntryDlg::OnOK()
{
    const long largest[] = {m_values.maxNumber, m_values.maxNumber2};
    CDataExchange dx(this, true);
    for (int i = 0; i < (m_values.secondAddress ? 2 : 1); ++i) {
        CHouseNumberParts parts;
        if (!SplitHouseNumber(FromQString(m_number[i]->text()), 0, largest[i], parts)) {
            dx.Fail(m_number[i], LoadStringArgs(kNumberOutOfRange, "0", FormatC("%ld", largest[i])));
            return;
        }
    }
    const auto code = [this](int i) {
        return ResolveStreetCode(m_list.Entries(), m_street[i]->GetSelection(), m_street[i]->GetText());
    };
    m_values.streetCode = code(0);
    m_values.number = FromQString(m_number[0]->text());
    if (m_values.secondAddress) {
        m_values.streetCode2 = code(1);
        m_values.number2 = FromQString(m_number[1]->text());
    }
    EndDialog(IDOK);
}

bool RunAddressEntry(CAddressEntryValues& values, CLayer& streets, CDrelDoc& document, QWidget* parent)
{
    CAddressEntryDlg dialog(values, streets, document, parent);
    return dialog.DoModal() == IDOK;
}
