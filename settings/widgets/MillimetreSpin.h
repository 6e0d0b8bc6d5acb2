#pragma once

#include "settings/widgets/SpinButton.h"

#include <functional>

// The spin of an edit of millimetres: 0.1 mm a step within 0.0 and 10.0.
// The edit takes at most 5 characters; a number typed outside the range
// shows the one kept when the edit is left. Typing and stepping, not the
// program's own texts, tell the owner the thousandths of an inch shown.
class CMillimetreSpin : public CSpinButton {
public:
    using ChangedFunction = std::function<void(int thousandths)>;

    CMillimetreSpin(QLineEdit* buddy, QWidget* parent);

    void SetChanged(ChangedFunction changed) { m_changed = std::move(changed); }
    void Step(int steps) override;

private:
    void Changed();

    ChangedFunction m_changed;
};
