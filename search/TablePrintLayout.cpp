#include "search/TablePrintLayout.h"

#include "platform/Gdi.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The font the screen widths are measured against, in tenths of a point.
constexpr int kScreenFontTenths = 70;

} // namespace

CTablePrintLayout::CTablePrintLayout(const std::vector<int>& screenWidths, int screenDpiX, int printerDpiX,
                                     int fontTenths, int areaWidth, int areaHeight, int rowHeight, int rowCount)
    : m_rowCount(std::max(rowCount, 0))
{
    screenDpiX = std::max(screenDpiX, 1);
    fontTenths = fontTenths > 0 ? fontTenths : kScreenFontTenths;
    int x = 0;
    for (size_t column = 0; column < screenWidths.size(); ++column) {
        const int width = std::max(
            MulDiv(MulDiv(std::max(screenWidths[column], 0), printerDpiX, screenDpiX), fontTenths, kScreenFontTenths),
            0);
        m_widths.push_back(width);
        if (m_partStarts.empty() || (x > 0 && x + width > areaWidth)) {
            m_partStarts.push_back(static_cast<int>(column));
            x = 0;
        }
        x += width;
    }
    if (m_partStarts.empty())
        m_partStarts.push_back(0);
    // The header takes a row of the page.
    if (rowHeight > 0)
        m_rowsPerPage = std::max((areaHeight - 1) / rowHeight - 1, 1);
}

int CTablePrintLayout::GetPageCount() const
{
    const int blocks = std::max((m_rowCount + m_rowsPerPage - 1) / m_rowsPerPage, 1);
    return blocks * GetHorizontalPageCount();
}

CTablePrintLayout::CPagePart CTablePrintLayout::GetPagePart(int page) const
{
    CPagePart part;
    if (page < 1 || page > GetPageCount())
        return part;
    const int parts = GetHorizontalPageCount();
    const int horizontal = (page - 1) % parts;
    const int block = (page - 1) / parts;
    part.firstColumn = m_partStarts[static_cast<size_t>(horizontal)];
    part.endColumn = horizontal + 1 < parts ? m_partStarts[static_cast<size_t>(horizontal) + 1]
                                            : static_cast<int>(m_widths.size());
    part.firstRow = std::min(block * m_rowsPerPage, m_rowCount);
    part.endRow = std::min(part.firstRow + m_rowsPerPage, m_rowCount);
    return part;
}

int PrintFontTenths(int heightMils)
{
    const int tenths = MulDiv(std::abs(heightMils), 720, 1000);
    return tenths > 0 ? tenths : kScreenFontTenths;
}

int PrintRowHeight(int fontHeight, int externalLeading)
{
    const int height = fontHeight + externalLeading;
    return height + height / 4;
}
