#pragma once

#include "platform/Font.h"
#include "shell/CharListLayout.h"

#include <QListWidget>

#include <string>

// A list box of equal cells running down the columns, scrolling sideways,
// as the symbol pickers show their glyphs and icons.
void SetColumnListLayout(QListWidget& list);

// The characters 32 to 255 of a symbol font as a grid of glyphs, in
// columns, to pick a point symbol from. Each item draws the glyph the
// point-symbol painter draws for its code in the face; a face that is not
// installed still fills the list and shows the glyphs of the face put in
// its place.
class CCharListBox : public QListWidget {
public:
    explicit CCharListBox(QWidget* parent = nullptr);

    // The face (code page 1257, cut to 31 characters); an empty face
    // empties the list, another one fills an empty list with the codes.
    void SetFontName(const std::string& face);
    const std::string& GetFontName() const { return m_face; }
    // The selected item's code; -1 when none is selected.
    int GetSelectedChar() const;
    // 1 when the code's item was selected; else the selection is cleared and 0 returned.
    int SelectChar(int code);

    const CFont& GetFont() const { return m_font; }
    const CharListCell& GetCell() const { return m_cell; }

private:
    class CItemDelegate;
    friend class CItemDelegate;

    void PaintItem(QPainter* painter, const QRect& rect, int code, bool selected, bool focused) const;

    std::string m_face;
    CFont m_font;
    bool m_faceInstalled = false;
    CharListCell m_cell;
};
