#include "search/widgets/MeasureBoxDlg.h"

#include "mapdoc/MapTool.h"
#include "platform/QtText.h"
#include "search/MeasureBoxRules.h"
#include "shell/widgets/ControlIds.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Where a box stands from its owner's top-left corner.
constexpr int kOffset = 8;
// Room for the longest value, "12345.678 km" and more.
constexpr int kFieldCharacters = 18;
} // namespace

CMeasureBoxDlg::CMeasureBoxDlg(QWidget& owner, int dialogId, const char* caption, const char* firstLabel,
                               const char* secondLabel)
    : QDialog(&owner), m_first(new QLineEdit(this))
{
    SetControlId(this, dialogId);
    setWindowTitle(QString::fromUtf8(caption));
    setModal(false);
    // The map keeps the keys and the mouse while the box shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QGridLayout(this);
    const int width = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')) * kFieldCharacters;
    const auto addField = [&](QLineEdit* field, int id, const char* label, int row) {
        SetControlId(field, id);
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
        field->setMinimumWidth(width);
        if (label)
            layout->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        layout->addWidget(field, row, 1);
    };
    addField(m_first, kFirstField, firstLabel, 0);
    if (secondLabel) {
        m_second = new QLineEdit(this);
        addField(m_second, kSecondField, secondLabel, 1);
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CMeasureBoxDlg::Create()
{
    if (QWidget* owner = parentWidget())
        move(owner->mapToGlobal(QPoint(kOffset, kOffset)));
    show();
}

void CMeasureBoxDlg::SetTexts(const std::string& first, const std::string& second)
{
    m_first->setText(ToQString(first));
    if (m_second)
        m_second->setText(ToQString(second));
}

CDistanceDlg::CDistanceDlg(QWidget& owner, PostCommand post)
    : CMeasureBoxDlg(owner, kDialogId, "Atstumas", "Atstumas:", "Iš viso:"), m_post(std::move(post))
{
    auto* clear = new QPushButton(QString::fromUtf8("Išvalyti"), this);
    SetControlId(clear, kClearButton);
    clear->setAutoDefault(false);
    clear->setFocusPolicy(Qt::NoFocus);
    static_cast<QGridLayout*>(layout())->addWidget(clear, 0, 2, 2, 1, Qt::AlignTop);
    connect(clear, &QPushButton::clicked, this, [this] {
        if (m_post)
            m_post(DistanceBoxClearCommand(MapToolMode));
    });
}

void CDistanceDlg::SetDistances(double segmentKm, double totalKm)
{
    SetTexts(FormatLengthKm(segmentKm), FormatLengthKm(totalKm));
}

void CDistanceDlg::reject()
{
    QDialog::reject();
    if (m_post)
        m_post(kCmdEndMeasuring);
}

CAreaPerimeterDlg::CAreaPerimeterDlg(QWidget& owner, PostCommand post)
    : CMeasureBoxDlg(owner, kDialogId, "Plotas ir perimetras", "Plotas:", "Perimetras:"), m_post(std::move(post))
{
}

void CAreaPerimeterDlg::SetValues(double areaKm2, double perimeterKm)
{
    SetTexts(FormatAreaKm2(areaKm2), FormatLengthKm(perimeterKm));
}

void CAreaPerimeterDlg::reject()
{
    QDialog::reject();
    if (m_post)
        m_post(kCmdEndMeasuring);
}

CAzimuthDlg::CAzimuthDlg(QWidget& owner) : CMeasureBoxDlg(owner, kDialogId, "Azimutas", nullptr, nullptr) {}

void CAzimuthDlg::SetAzimuths(double forward, double back)
{
    SetTexts(FormatAzimuths(forward, back));
}

CObjectAreaDlg::CObjectAreaDlg(QWidget& owner)
    : CMeasureBoxDlg(owner, kDialogId, "Objekto plotas", "Objektas:", "Plotas:")
{
}

void CObjectAreaDlg::SetArea(const std::string& object, double km2)
{
    SetTexts(object, FormatAreaKm2(km2));
}

void CObjectAreaDlg::ShowMeasure(const std::string& name, double km2)
{
    SetArea(name, km2);
    if (isHidden())
        Create();
}

CObjectLengthDlg::CObjectLengthDlg(QWidget& owner)
    : CMeasureBoxDlg(owner, kDialogId, "Objekto ilgis", "Objektas:", "Ilgis:")
{
}

void CObjectLengthDlg::SetLength(const std::string& object, double km)
{
    SetTexts(object, FormatLengthKm(km));
}

void CObjectLengthDlg::ShowMeasure(const std::string& name, double km)
{
    SetLength(name, km);
    if (isHidden())
        Create();
}

CRouteLengthDlg::CRouteLengthDlg(QWidget& owner)
    : CMeasureBoxDlg(owner, kDialogId, "Trumpiausias maršrutas", "Maršruto ilgis:", nullptr)
{
}

void CRouteLengthDlg::SetLength(double km)
{
    SetTexts(FormatRouteLengthKm(km));
}
