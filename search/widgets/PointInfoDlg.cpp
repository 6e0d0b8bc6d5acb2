#include "search/widgets/PointInfoDlg.h"

#include "platform/UserServices.h"
#include "search/PlacemarkEdit.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/StyleSampleButton.h"
#include "shell/widgets/SymbolChoice.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CPointInfoDlg::CPointInfoDlg(CPlacemarkEdit& placemark, QWidget* parent)
    : CDialogBase(parent), m_placemark(placemark), m_symbol(new CStyleSampleButton(this))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Taško informacija"));
    const QFontMetrics metrics(font());
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('x'));
    auto* grid = new QGridLayout;
    const auto addEdit = [&](int row, const char* label, int id, int characters) {
        auto* text = new QLabel(QString::fromUtf8(label), this);
        auto* edit = new QLineEdit(this);
        SetControlId(edit, id);
        edit->setMinimumWidth(charWidth * characters);
        text->setBuddy(edit);
        grid->addWidget(text, row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
    };
    addEdit(0, "&Pavadinimas:", kName, 34);
    addEdit(1, "&Aprašymas:", kDescription, 34);
    addEdit(2, "&Ilguma:", kLongitude, 16);
    addEdit(3, "P&latuma:", kLatitude, 16);
    auto* symbolLabel = new QLabel(QString::fromUtf8("Ženklas:"), this);
    SetControlId(m_symbol, kSymbol);
    const int side = metrics.height() * 3;
    m_symbol->setFixedSize(side, side);
    grid->addWidget(symbolLabel, 4, 0);
    grid->addWidget(m_symbol, 4, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    connect(m_symbol, &QPushButton::clicked, this, [this] { OnSymbol(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(MakeOkCancelRow());
}

void CPointInfoDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    m_symbol->setEnabled(m_placemark.Info().symbolEditable && SymbolListDialog());
    ShowSymbol();
    if (auto* name = FindControl<QLineEdit>(this, kName)) {
        name->setFocus();
        name->selectAll();
    }
}

void CPointInfoDlg::DoDataExchange(CDataExchange& dx)
{
    CPointInfo& info = m_placemark.Info();
    dx.Text(kName, info.name, kNameLength);
    dx.Text(kDescription, info.description, kDescriptionLength);
    dx.Real(kLongitude, info.longitude, -180, 180);
    dx.Real(kLatitude, info.latitude, -90, 90);
}

void CPointInfoDlg::ShowSymbol()
{
    const int symbol = m_placemark.Info().symbol;
    m_symbol->SetShowNone(symbol < 0);
    if (symbol >= 0)
        m_symbol->SetSymbolNumber(symbol);
}

void CPointInfoDlg::OnSymbol()
{
    const SymbolListFunction& list = SymbolListDialog();
    int symbol = m_placemark.Info().symbol;
    if (!list || !list(symbol, this))
        return;
    m_placemark.Info().symbol = symbol;
    ShowSymbol();
}

void CPointInfoDlg::OnOK()
{
    if (UpdateData(true) && m_placemark.Write())
        EndDialog(IDOK);
}

bool RunPointInfo(CPlacemarkEdit& placemark, QWidget* parent)
{
    CPointInfoDlg dialog(placemark, parent);
    return dialog.DoModal() == IDOK;
}
