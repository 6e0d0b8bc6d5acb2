#include "routing/widgets/RouteImportedPointsDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "routing/DistanceTable.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kDialogId = 250;
constexpr int kPointsEdit = 1017;
constexpr int kResultsEdit = 1007;
} // namespace

CRouteImportedPointsDlg::CRouteImportedPointsDlg(std::string pointsPath, QWidget* parent)
    : CDialogBase(parent), m_pointsPath(std::move(pointsPath)), m_resultsPath(ProposeResultsPath(m_pointsPath))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Maršuto importuotiems punktams skaičiavimas"));
    auto* points = WithId(kPointsEdit, new QLineEdit(this));
    auto* results = WithId(kResultsEdit, new QLineEdit(this));
    results->setMaxLength(kMaxResultsPath);
    points->setMinimumWidth(360);
    auto* grid = new QGridLayout;
    auto* pointsLabel = new QLabel(QString::fromUtf8("Importuojamų punktų failas:"), this);
    auto* resultsLabel = new QLabel(QString::fromUtf8("Rezultatų failas:"), this);
    pointsLabel->setBuddy(points);
    resultsLabel->setBuddy(results);
    grid->addWidget(pointsLabel, 0, 0);
    grid->addWidget(points, 0, 1);
    grid->addWidget(resultsLabel, 1, 0);
    grid->addWidget(results, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(MakeOkCancelRow());
    SetControlText(FindControl<QPushButton>(this, IDOK), QString::fromUtf8("Skaičiuoti"));
    // A results file not chosen by hand follows the points' folder.
    connect(points, &QLineEdit::textEdited, this, [this, results](const QString& text) {
        if (!results->isModified())
            results->setText(ToQString(ProposeResultsPath(FromQString(text))));
    });
}

void CRouteImportedPointsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kPointsEdit, m_pointsPath);
    dx.Text(kResultsEdit, m_resultsPath, kMaxResultsPath);
}

void CRouteImportedPointsDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    if (m_pointsPath.empty() || m_resultsPath.empty()) {
        AppBeep();
        return;
    }
    EndDialog(IDOK);
}
