#pragma once

#include "shell/CoordEditRules.h"

#include <QLineEdit>

// A one-line edit of one geographic coordinate in fixed sections (the
// rules are shell/CoordEditRules.h): typing fills the current section,
// Home, End, Left and Right step through the sections, Up and Down change
// the current one, a click selects the section under the mouse and the
// focus selects the current one. Refused keys beep. The text may also be
// set or pasted freely: it reads back as far as it makes sense, and the
// next typed digit or arrow writes it again in shape.
class CCoordEdit : public QLineEdit {
public:
    // The mode (longitude or latitude) and the value's text.
    void SetLongitude(double value);
    void SetLatitude(double value);
    int GetMode() const { return m_rules.GetMode(); }
    // The text read as decimal degrees, negative for W and S; 0 for an
    // empty text.
    double GetDegrees();
    // Makes the section current (a negative one keeps the current one) and
    // selects it.
    void SelectSection(int section);
    int GetSection() const { return m_rules.GetSection(); }

protected:
    CCoordEdit(bool withSeconds, QWidget* parent);

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void SetValue(int mode, double value);
    // The text and selection as the rules take them, and back.
    CCoordEditRules::Edit CurrentEdit() const;
    void Apply(const CCoordEditRules::Edit& edit);

    CCoordEditRules m_rules;
};
