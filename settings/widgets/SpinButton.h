#pragma once

#include <QWidget>

class QLineEdit;

// The up-down arrows beside an edit (its buddy): each click or arrow key
// in the edit steps the edit's whole number by one within the range; a
// text that is no number steps from the range's end. The edit keeps what
// is typed: its data exchange says what it refuses.
class CSpinButton : public QWidget {
public:
    CSpinButton(QLineEdit* buddy, int min, int max, QWidget* parent = nullptr);

    void SetRange(int min, int max);
    int GetMin() const { return m_min; }
    int GetMax() const { return m_max; }
    // One step up (1) or down (-1).
    virtual void Step(int steps);

protected:
    QLineEdit* Buddy() const { return m_buddy; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_buddy;
    int m_min;
    int m_max;
};
