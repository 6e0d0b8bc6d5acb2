#pragma once

#include <QDialog>

class CDataExchange;
class QHBoxLayout;

// A modal dialog whose controls exchange values with its members: its
// controls are made and filled in OnInitDialog (before it first shows);
// the buttons with the ids 1 (OK) and 2 (Cancel) end it through OnOK and
// OnCancel, Escape and the close box through OnCancel; OK stays while the
// exchange refuses a field. DoModal answers IDOK or IDCANCEL.
class CDialogBase : public QDialog {
public:
    explicit CDialogBase(QWidget* parent = nullptr);

    int DoModal();
    // Controls to members (save) or members to controls; false when a
    // field was refused.
    bool UpdateData(bool save);
    void EndDialog(int result);

protected:
    // Builds the controls (when the constructor has not) and loads them.
    virtual void OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx) {}
    virtual void OnOK();
    virtual void OnCancel();

    // The row of "OK" (1, the default) and "Atsisakyti" (2) at the right,
    // for the dialog's layout.
    QHBoxLayout* MakeOkCancelRow();

    void showEvent(QShowEvent* event) override;
    void reject() override;
    void accept() override;

private:
    void ConnectButtons();

    bool m_initialized = false;
};
