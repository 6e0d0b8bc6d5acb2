#pragma once

#include <cstddef>
#include <vector>

// How a table window's grid goes onto printed pages. Each column prints
// at its screen width scaled to the printer's resolution and to the print
// font (against 7 points); columns are cut into horizontal parts that fit
// the printable width, a column too wide for any page standing alone in
// its part (cut off at the edge). Under a header row each page takes as
// many rows as its height holds, one at least. Pages count horizontal
// part first: page n prints part (n - 1) modulo the part count of row
// block (n - 1) divided by it.
class CTablePrintLayout {
public:
    struct CPagePart {
        int firstColumn = 0;
        int endColumn = 0; // past the last
        int firstRow = 0;
        int endRow = 0;    // past the last
    };

    // Sizes in printer pixels; fontTenths the print font's height in
    // tenths of a point.
    CTablePrintLayout(const std::vector<int>& screenWidths, int screenDpiX, int printerDpiX, int fontTenths,
                      int areaWidth, int areaHeight, int rowHeight, int rowCount);

    int GetColumnWidth(int column) const { return m_widths[static_cast<size_t>(column)]; }
    int GetHorizontalPageCount() const { return static_cast<int>(m_partStarts.size()); }
    int GetRowsPerPage() const { return m_rowsPerPage; }
    int GetPageCount() const;
    // The columns and rows of page n (from 1); empty past the last page.
    CPagePart GetPagePart(int page) const;

private:
    std::vector<int> m_widths;
    std::vector<int> m_partStarts;
    int m_rowsPerPage = 1;
    int m_rowCount = 0;
};

// The print font's height in tenths of a point from thousandths of an
// inch; 70 for none.
int PrintFontTenths(int heightMils);
// The printed row of a font: its height and external leading, and a
// quarter of that more.
int PrintRowHeight(int fontHeight, int externalLeading);
