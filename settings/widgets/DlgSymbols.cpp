#include "settings/widgets/DlgSymbols.h"

#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "settings/PointSymbolRules.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

namespace {

// The sample's square and the number's line below it, as the sheet's
// former right edge sees them.
constexpr int kSampleTop = 27;
constexpr int kSampleSide = 100;
constexpr int kNumberGap = 20;
// Between the pages' frame and the sample, within the sheet's 120 pixels.
constexpr int kSideGap = 6;
constexpr int kCancelString = 3001;

} // namespace

CDlgSymbols::CDlgSymbols(QWidget* parent)
    : CPropertySheet(LoadString(kCaptionString), parent),
      m_style(CPointStyle::Default())
{
    AddPage(&m_iconPage);
    AddPage(&m_fontPage);
    AddPage(&m_picturePage);

    // The pages keep their column; the sample stands beside them.
    auto* side = new QWidget(this);
    side->setFixedWidth(kSideWidth - kSideGap);
    m_sample = WithId(kSampleId, new CStyleSampleButton(side));
    m_sample->setGeometry(0, kSampleTop, kSampleSide, kSampleSide);
    m_sample->setEnabled(false);
    m_sample->setFocusPolicy(Qt::NoFocus);
    m_number = WithId(kNumberId, new QLabel(side));
    m_number->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Large numbers go to a second line rather than out of sight.
    m_number->setWordWrap(true);
    m_number->setGeometry(0, kSampleTop + kSampleSide + kNumberGap, kSampleSide, 2 * m_number->fontMetrics().lineSpacing());
    side->setMinimumHeight(m_number->geometry().bottom() + 1);

    auto* outer = static_cast<QBoxLayout*>(layout());
    auto* tabs = findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    auto* stack = findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
    outer->removeWidget(tabs);
    outer->removeWidget(stack);
    auto* pages = new QVBoxLayout;
    pages->setSpacing(outer->spacing());
    pages->addWidget(tabs);
    pages->addWidget(stack, 1);
    auto* row = new QHBoxLayout;
    row->setSpacing(kSideGap);
    row->addLayout(pages, 1);
    row->addWidget(side, 0, Qt::AlignTop);
    outer->insertLayout(0, row, 1);
}

void CDlgSymbols::SetStyle(const CPointStyle& style)
{
    if (style.symbol == kNoSymbol)
        return;
    m_style = style;
    m_sample->SetPointStyle(m_style);
    m_number->setText(ToQString(SymbolNumberText(m_style.symbol)));
}

void CDlgSymbols::OnInitDialog()
{
    switch (StartPageFor(m_style)) {
    case kIconPage:
        m_iconPage.m_symbol = m_style.symbol;
        break;
    case kFontPage:
        m_fontPage.m_style = m_style;
        break;
    case kPicturePage:
        m_picturePage.m_style = m_style;
        break;
    }
    SetActivePage(StartPageFor(m_style));
    GetCancelButton()->setText(ToQString(LoadString(kCancelString)));
    CPropertySheet::OnInitDialog();
}

bool RunDlgSymbols(CPointStyle& style, QWidget* parent)
{
    CDlgSymbols sheet(parent);
    sheet.m_style = style;
    if (sheet.DoModal() != IDOK)
        return false;
    style = sheet.m_style;
    return true;
}

void ShowInSymbolSheet(const CPropertyPage& page, const CPointStyle& style)
{
    if (auto* sheet = dynamic_cast<CDlgSymbols*>(page.GetSheet()))
        sheet->SetStyle(style);
}

void CloseSymbolSheet(const CPropertyPage& page)
{
    if (CPropertySheet* sheet = page.GetSheet())
        sheet->GetOkButton()->click();
}
