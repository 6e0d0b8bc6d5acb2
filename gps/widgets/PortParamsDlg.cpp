#include "gps/widgets/PortParamsDlg.h"

#include "gps/SerialPort.h"
#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DialogControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QVBoxLayout>

namespace {

QComboBox* MakeList(QWidget* parent, int id, const std::vector<std::string>& texts)
{
    auto* list = WithId(id, new QComboBox(parent));
    for (const std::string& text : texts)
        list->addItem(ToQString(text));
    return list;
}

template <class Texts>
std::vector<std::string> Entries(const Texts& texts)
{
    std::vector<std::string> entries;
    for (const auto& text : texts)
        entries.push_back(text);
    return entries;
}

std::vector<std::string> PortEntries()
{
    std::vector<std::string> entries{"<None>"};
    for (int n = 1; n < kPortEntries; ++n)
        entries.push_back(FormatC("COM%d", n));
    return entries;
}

std::vector<std::string> BaudRateEntries()
{
    std::vector<std::string> entries;
    for (const unsigned rate : kBaudRates)
        entries.push_back(std::to_string(rate));
    return entries;
}

std::vector<std::string> ByteSizeEntries()
{
    std::vector<std::string> entries;
    for (int size = kFirstByteSize; size <= kLastByteSize; ++size)
        entries.push_back(std::to_string(size));
    return entries;
}

} // namespace

CPortParamsDlg::CPortParamsDlg(int port, const SerialLineSettings& line, QWidget* parent)
    : CDialogBase(parent), m_port(port), m_line(line), m_choice(PortChoiceFromSettings(port, line))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Porto parametrai"));
    struct Row {
        const char* caption;
        int id;
        std::vector<std::string> entries;
    };
    const Row rows[] = {
        {"&Portas:", kPort, PortEntries()},
        {"Perdavimo &greitis:", kBaudRate, BaudRateEntries()},
        {"&Duomenų bitai:", kByteSize, ByteSizeEntries()},
        {"&Lygiškumas:", kParity, Entries(kParityTexts)},
        {"&Stop bitai:", kStopBits, Entries(kStopBitTexts)},
        {"Srauto &valdymas:", kFlowControl, Entries(kFlowControlTexts)},
    };
    auto* grid = new QGridLayout;
    int row = 0;
    for (const Row& r : rows) {
        QComboBox* list = MakeList(this, r.id, r.entries);
        grid->addWidget(MakeLabel(this, 0, r.caption, list), row, 0);
        grid->addWidget(list, row++, 1);
        if (r.id == kPort) {
            auto* device = WithId(kDevice, new QLabel(this));
            device->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(device, row++, 1);
            connect(list, &QComboBox::currentIndexChanged, this, [this](int entry) { ShowDevice(entry); });
        }
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(MakeOkCancelRow());
}

void CPortParamsDlg::ShowDevice(int entry)
{
    // A stored port beyond the list still names its device.
    const int port = entry >= 0 ? entry : m_port;
    auto* device = FindControl<QLabel>(this, kDevice);
    if (device)
        device->setText(port > 0 ? ToQString(SerialDeviceName(port)) : QString());
}

void CPortParamsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kPort, m_choice.port);
    dx.ComboIndex(kBaudRate, m_choice.baudRate);
    dx.ComboIndex(kByteSize, m_choice.byteSize);
    dx.ComboIndex(kParity, m_choice.parity);
    dx.ComboIndex(kStopBits, m_choice.stopBits);
    dx.ComboIndex(kFlowControl, m_choice.flowControl);
    if (!dx.IsSaving()) {
        ShowDevice(m_choice.port);
        return;
    }
    ApplyPortChoice(m_choice, m_port, m_line);
}

int ConfigureSerialPort(CSerialPort& port, QWidget* parent)
{
    CPortParamsDlg dialog(port.GetPort(), port.GetLineSettings(), parent);
    if (dialog.DoModal() != IDOK)
        return 0;
    return port.ApplyConfiguration(dialog.GetPort(), dialog.GetLineSettings()) ? 1 : 0;
}
