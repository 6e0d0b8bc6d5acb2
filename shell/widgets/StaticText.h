#pragma once

#include "platform/Font.h"
#include "platform/Size.h"

#include <QWidget>

#include <string>

// A static text control drawn through the device context: the text broken
// into lines at words, a word wider than the control broken inside (so
// nothing is clipped), '&' taken as it stands, left- or right-aligned.
// Texts are code page 1257.
class CStaticText : public QWidget {
public:
    CStaticText(std::string text, CFont font, bool rightAligned = false, QWidget* parent = nullptr);

    const std::string& GetText() const { return m_text; }
    // The size the text takes within a width.
    static CSize Measure(const std::string& text, const CFont& font, int maxWidth);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string m_text;
    CFont m_font;
    bool m_rightAligned;
};
