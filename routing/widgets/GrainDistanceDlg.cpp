#include "routing/widgets/GrainDistanceDlg.h"

#include "mapdoc/DrelView.h"
#include "platform/Clipboard.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/AutoCompleteCombo.h"
#include "shell/widgets/ControlIds.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace GrainDistance;

namespace {

QLineEdit* ReadOnlyEdit(int id, QWidget* parent)
{
    auto* edit = WithId(id, new QLineEdit(parent));
    edit->setReadOnly(true);
    return edit;
}

QLineEdit* KmEdit(int id, QWidget* parent)
{
    QLineEdit* edit = ReadOnlyEdit(id, parent);
    edit->setMaximumWidth(90);
    return edit;
}

std::string TextOf(const QWidget* root, int id)
{
    if (auto* combo = FindControl<QComboBox>(root, id))
        return FromQString(combo->currentText());
    if (auto* edit = FindControl<QLineEdit>(root, id))
        return FromQString(edit->text());
    return {};
}

} // namespace

CGrainDistanceDlg::CGrainDistanceDlg(CDrelDoc& document, ActiveView activeView, QWidget* parent)
    : CDialogBase(parent), m_calculator(document), m_activeView(std::move(activeView))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Atstumų skaičiuoklė"));
    auto* crop = WithId(kCropCombo, new QComboBox(this));
    crop->addItems({QString::fromUtf8("Kviečiai"), QString::fromUtf8("Miežiai")});
    auto* location = WithId(kLocationCombo, new QComboBox(this));
    location->setEditable(true);
    location->setInsertPolicy(QComboBox::NoInsert);
    location->setMinimumWidth(260);
    m_settlements = ReadSettlements(m_calculator.settlements);
    for (const CSettlement& settlement : m_settlements)
        location->addItem(ToQString(settlement.name), settlement.record);
    location->setCurrentIndex(-1);
    connect(location->lineEdit(), &QLineEdit::textEdited, this, [this] { OnLocationEdited(); });
    auto* centres = WithId(kCentreCombo, new QComboBox(this));
    auto* warehouses = WithId(kWarehouseCombo, new QComboBox(this));

    auto* grid = new QGridLayout;
    int row = 0;
    auto add = [&](const char* caption, QWidget* control, QWidget* second = nullptr) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(control);
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1, 1, second ? 1 : 2);
        if (second)
            grid->addWidget(second, row, 2);
        ++row;
    };
    add("Kultūra:", crop);
    add("Grūdų vieta paraiškos metu:", location);
    add("Intervencinis centras:", centres, ReadOnlyEdit(kCentreEdit, this));
    add("Atstumas (km):", KmEdit(kCentreKmEdit, this));
    add("Intervencinis sandėlis:", warehouses);
    add("Atstumas (km):", KmEdit(kWarehouseKmEdit, this));
    grid->addWidget(ReadOnlyEdit(kNoteEdit, this), row++, 0, 1, 3);

    auto* compute = WithId(IDOK, new QPushButton(QString::fromUtf8("Skaičiuoti"), this));
    compute->setDefault(true);
    auto* copy = WithId(kCopyButton, new QPushButton(QString::fromUtf8("Kopijuoti"), this));
    auto* close = WithId(IDCANCEL, new QPushButton(QString::fromUtf8("Baigti"), this));
    connect(copy, &QPushButton::clicked, this, [this] { Copy(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(compute);
    buttons->addWidget(copy);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void CGrainDistanceDlg::OnOK()
{
    Compute();
}

void CGrainDistanceDlg::OnLocationEdited()
{
    auto* location = FindControl<QComboBox>(this, kLocationCombo);
    CompleteTypedTextInEdit(*location->lineEdit(), m_lastLength, location->count(),
                            [location](int i) { return FromQString(location->itemText(i)); });
}

void CGrainDistanceDlg::Compute()
{
    auto* location = FindControl<QComboBox>(this, kLocationCombo);
    auto* centres = FindControl<QComboBox>(this, kCentreCombo);
    auto* warehouses = FindControl<QComboBox>(this, kWarehouseCombo);
    centres->clear();
    warehouses->clear();
    for (int id : {kCentreKmEdit, kWarehouseKmEdit, kCentreEdit, kNoteEdit})
        FindControl<QLineEdit>(this, id)->clear();

    // A selection stands only while the text is still the item's.
    int selected = location->currentIndex();
    if (selected >= 0 && location->itemText(selected) != location->currentText())
        selected = -1;
    std::string message;
    const int record = ChooseSettlement(m_settlements, selected, FromQString(location->currentText()), message);
    if (record < 0) {
        if (!message.empty())
            AppMessageBox(message, MB_OK | MB_ICONWARNING);
        return;
    }
    CMapPoint from;
    if (!m_calculator.ReadSettlement(record, from))
        return;
    const CResult result = m_calculator.Compute(FindControl<QComboBox>(this, kCropCombo)->currentIndex(), from);

    for (const std::string& name : result.centres)
        centres->addItem(ToQString(name));
    centres->setCurrentIndex(centres->count() - 1);
    for (const std::string& name : result.warehouses)
        warehouses->addItem(ToQString(name));
    warehouses->setCurrentIndex(warehouses->count() > 0 ? 0 : -1);
    if (result.centreKm >= 0) {
        FindControl<QLineEdit>(this, kCentreKmEdit)->setText(ToQString(WholeKm(result.centreKm)));
        FindControl<QLineEdit>(this, kCentreEdit)->setText(ToQString(result.centre));
    }
    if (result.warehouseKm >= 0)
        FindControl<QLineEdit>(this, kWarehouseKmEdit)->setText(ToQString(WholeKm(result.warehouseKm)));
    if (CDrelView* view = m_activeView ? m_activeView() : nullptr) {
        view->ClearOverlays();
        if (result.centreKm >= 0)
            view->AddOverlayShape(result.centreRoute);
        if (result.warehouseKm >= 0)
            view->AddOverlayShape(result.warehouseRoute);
    }
}

void CGrainDistanceDlg::Copy()
{
    const std::string report = Report(TextOf(this, kCropCombo), TextOf(this, kLocationCombo), TextOf(this, kCentreEdit),
                                      TextOf(this, kCentreKmEdit), TextOf(this, kWarehouseCombo),
                                      TextOf(this, kWarehouseKmEdit));
    const std::string utf8 = Cp1257ToUtf8(report);
    Clipboard().SetData("text/plain;charset=utf-8", std::vector<unsigned char>(utf8.begin(), utf8.end()));
}
