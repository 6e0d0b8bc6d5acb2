#pragma once

#include "gps/GpsWindowRules.h"
#include "shell/widgets/DialogBase.h"

class CSerialPort;

// The port parameters (201 "Porto parametrai"): the port 544, baud rate
// 545, data bits 546, parity 547, stop bits 548 and flow control 550, and
// beside the port the device its entry stands for (549). A stored value
// no entry stands for selects none and is kept.
class CPortParamsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 201;
    enum ControlId : int {
        kPort = 544,
        kBaudRate = 545,
        kByteSize = 546,
        kParity = 547,
        kStopBits = 548,
        kDevice = 549,
        kFlowControl = 550,
    };

    CPortParamsDlg(int port, const SerialLineSettings& line, QWidget* parent = nullptr);

    int GetPort() const { return m_port; }
    const SerialLineSettings& GetLineSettings() const { return m_line; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void ShowDevice(int entry);

    int m_port;
    SerialLineSettings m_line;
    CPortChoice m_choice;
};

// The dialog on the port's settings; on OK the port takes them
// (CSerialPort::ApplyConfiguration). 1 when they stand, 0 when cancelled
// or the port could not be opened again.
int ConfigureSerialPort(CSerialPort& port, QWidget* parent = nullptr);
