#pragma once

#include "shell/widgets/DialogBase.h"

class QComboBox;
class QPlainTextEdit;

// Dialog 398 "Koordinačių transformavimas": lists of coordinates typed on
// one side (edit 1017 on the left, 1007 on the right) converted line by
// line into the other side's system (combos 1012 and 1021):
// "Perskaičiuoti  >>" (1055) from left to right, "<< Perskaičiuoti"
// (1056) back. The left edit shows an example of its system until the
// user types into it. The rules are search/CoordTransform.h.
class CCoordTransformDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 398;
    static constexpr int kLeftEdit = 1017;
    static constexpr int kRightEdit = 1007;
    static constexpr int kLeftSystem = 1012;
    static constexpr int kRightSystem = 1021;
    static constexpr int kToRightButton = 1055;
    static constexpr int kToLeftButton = 1056;

    explicit CCoordTransformDlg(QWidget* parent = nullptr);

private:
    // Unless the user has typed more than two characters.
    void ShowSample();
    void Transform(QComboBox* fromSystem, QPlainTextEdit* from, QComboBox* toSystem, QPlainTextEdit* to);
    // Text the dialog writes is not the user's.
    void SetEditText(QPlainTextEdit* edit, const QString& text);

    QPlainTextEdit* m_left;
    QPlainTextEdit* m_right;
    QComboBox* m_leftSystem;
    QComboBox* m_rightSystem;
    bool m_leftTyped = false;
    bool m_writing = false;
};
