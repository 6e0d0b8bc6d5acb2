#pragma once

#include <initializer_list>
#include <string>

class QWidget;

// Moves values between a dialog's controls, found by their resource ids,
// and its members: loading fills the controls, saving reads and checks
// them. The first control that fails shows its message, gets the focus
// (its text selected) and ends the exchange: later calls do nothing and
// Failed() tells the dialog to stay. Texts are code page 1257.
class CDataExchange {
public:
    CDataExchange(QWidget* dialog, bool save) : m_dialog(dialog), m_save(save) {}

    bool IsSaving() const { return m_save; }
    bool Failed() const { return m_failed; }

    // An edit, an editable combo or a plain-text edit (a label or a
    // button only loads); a maximum length above 0 limits the edit and
    // refuses a longer text.
    void Text(int id, std::string& value, int maxLength = 0);
    // Numbers in an edit; reals as "%.15g", read with the decimal point.
    void Int(int id, int& value);
    void Int(int id, int& value, int min, int max);
    void Real(int id, double& value);
    void Real(int id, double& value, double min, double max);
    // 0 unchecked, 1 checked, 2 indeterminate.
    void Check(int id, int& value);
    // The index of the checked button of the group, -1 none.
    void Radio(std::initializer_list<int> ids, int& value);
    // The combo's selected index (-1 none), and its text: an editable
    // combo's edit text, else the selected item's; loading a list
    // selects the item of that text (else the first that begins with it,
    // ignoring case, else none).
    void ComboIndex(int id, int& value);
    void ComboText(int id, std::string& value);

    // The control of the id; null (and the exchange failed) when the
    // dialog has none, which is a fault of the dialog, not of the input.
    QWidget* Control(int id);
    // Shows the message, focuses the control and fails the exchange.
    void Fail(QWidget* control, const std::string& message);

private:
    bool ReadText(QWidget* control, std::string& text) const;
    void WriteText(QWidget* control, const std::string& text) const;
    template <class T, class Parse, class Format, class Message>
    void NumberField(int id, T& value, bool ranged, T min, T max, Parse parse, Format format, Message message);
    void IntField(int id, int& value, bool ranged, int min, int max);
    void RealField(int id, double& value, bool ranged, double min, double max);

    QWidget* m_dialog;
    bool m_save;
    bool m_failed = false;
};
