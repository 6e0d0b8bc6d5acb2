#include "search/widgets/PlanarPointDlg.h"

#include "search/PointCoordRules.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CPlanarPointDlg::CPlanarPointDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Įveskite taško koordinates"));
    auto* layout = new QGridLayout(this);
    const auto addRow = [&](int id, const char* label, int row) {
        auto* edit = new QLineEdit(this);
        SetControlId(edit, id);
        auto* text = new QLabel(QString::fromUtf8(label), this);
        text->setBuddy(edit);
        layout->addWidget(text, row, 0);
        layout->addWidget(edit, row, 1);
        return edit;
    };
    addRow(kXEdit, "&X (į rytus):", 0)->setFocus();
    addRow(kYEdit, "&Y (į šiaurę):", 1);
    layout->addLayout(MakeOkCancelRow(), 2, 0, 1, 2);
}

void CPlanarPointDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Real(kXEdit, m_point.x, -kPlanarPointLimit, kPlanarPointLimit);
    dx.Real(kYEdit, m_point.y, -kPlanarPointLimit, kPlanarPointLimit);
}
