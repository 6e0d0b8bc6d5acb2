#pragma once

#include "gps/GpsStatusWindow.h"
#include "gps/widgets/GpsStatusDlg.h"
#include "gps/widgets/TerminalDlg.h"

#include <QPointer>

#include <functional>

class CSerialPort;
class QWidget;

// The status window and the terminal of the GPS context: each made on
// first use as a window of the owner (the main window), which deletes it;
// without an owner nothing is made and nothing shows.
class CGpsWindows : public IGpsStatusWindow, public IGpsTerminalWindow {
public:
    using Owner = std::function<QWidget*()>;
    explicit CGpsWindows(Owner owner) : m_owner(std::move(owner)) {}

    // IGpsStatusWindow.
    void Show(bool show) override;
    bool IsVisible() const override;
    void ShowFix(const GpsFix& fix) override;
    void ShowTripUpTo(std::span<const GpsFix> fixes, int n) override;
    void ResetTrip() override;

    // IGpsTerminalWindow.
    bool Exists() const override { return !m_terminal.isNull(); }
    void AppendText(std::string_view pieces) override;

    // The terminal shown or hidden; the port echoes its text from the
    // first showing on.
    void ToggleTerminal(CSerialPort* port);
    bool IsTerminalVisible() const;
    // The last fix shown again with the current time correction.
    void RefreshFix();

    CDlgGps* GetStatusWindow() const { return m_status; }
    CDlgTerminal* GetTerminal() const { return m_terminal; }

private:
    Owner m_owner;
    QPointer<CDlgGps> m_status;
    QPointer<CDlgTerminal> m_terminal;
};
