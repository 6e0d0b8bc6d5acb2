#include "search/widgets/TablePrinting.h"

#include "mapdoc/PageSetup.h"
#include "mapdoc/PrintPages.h"
#include "platform/Brush.h"
#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/Pen.h"
#include "search/TableGridModel.h"
#include "search/TablePrintLayout.h"
#include "search/widgets/TableView.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// "Nėra ką spausdinti: tarp lapo paraščių lentelė netelpa."
const char kNothingToPrint[] = "N\xEBra k\xE0 spausdinti: tarp lapo para\xF0\xE8i\xF8 lentel\xEB netelpa.";

// The grid's pages on one printer context.
class CTablePages {
public:
    CTablePages(CTableView& view, CDC& dc) : m_view(view), m_dc(dc)
    {
        CTableGridModel* model = view.Model();
        const CTablePageSetupValues setup = PageSetup().GetTableValues();
        const CRect page(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
        if (!model || !MarginArea(dc, page, setup.margins, m_area))
            return;
        model->FetchAll();
        LOGFONT font = setup.font;
        font.lfHeight = -std::max(MulDiv(std::abs(font.lfHeight), dc.GetDeviceCaps(LOGPIXELSY), 1000), 1);
        font.lfWidth = 0;
        font.lfWeight = FW_NORMAL;
        m_cellFont = CFont(font);
        font.lfWeight = FW_SEMIBOLD;
        m_headerFont = CFont(font);
        const CFont before = dc.SelectObject(m_cellFont);
        TEXTMETRIC metrics;
        dc.GetTextMetrics(&metrics);
        dc.SelectObject(before);
        m_rowHeight = std::max(PrintRowHeight(metrics.tmHeight, metrics.tmExternalLeading), 1);
        m_layout.emplace(view.ColumnWidths(), view.logicalDpiX(), dc.GetDeviceCaps(LOGPIXELSX),
                              PrintFontTenths(setup.font.lfHeight), m_area.Width(), m_area.Height(), m_rowHeight,
                              model->RowCount());
    }

    int GetPageCount() const { return m_layout ? m_layout->GetPageCount() : 0; }

    void PrintPage(int page)
    {
        const CTablePrintLayout& layout = *m_layout;
        const CTablePrintLayout::CPagePart part = layout.GetPagePart(page);
        CTableGridModel& model = *m_view.Model();
        const int saved = m_dc.SaveDC();
        // A column wider than the page is cut at its edge.
        m_dc.IntersectClipRect(m_area);
        m_dc.SetBkMode(TRANSPARENT);
        m_dc.SetTextColor(RGB(0, 0, 0));
        m_dc.SelectObject(CPen(PS_SOLID, 0, RGB(0, 0, 0)));
        m_dc.SelectObject(CBrush::FromStock(NULL_BRUSH));

        std::vector<std::string> captions;
        for (int column = part.firstColumn; column < part.endColumn; ++column)
            captions.push_back(model.ColumnCaption(column));
        m_dc.SelectObject(m_headerFont);
        PrintRow(layout, part, m_area.top, captions);
        m_dc.SelectObject(m_cellFont);
        std::vector<int> rows;
        for (int row = part.firstRow; row < part.endRow; ++row)
            rows.push_back(row);
        int y = m_area.top + m_rowHeight;
        model.ForEachRowTexts(rows, [&](int, const std::vector<std::string>& texts) {
            std::vector<std::string> shown(texts.begin() + part.firstColumn, texts.begin() + part.endColumn);
            PrintRow(layout, part, y, shown);
            y += m_rowHeight;
        });
        m_dc.RestoreDC(saved);
    }

private:
    void PrintRow(const CTablePrintLayout& layout, const CTablePrintLayout::CPagePart& part, int top,
                  const std::vector<std::string>& texts)
    {
        const CTableGridModel& model = *m_view.Model();
        int x = m_area.left;
        for (int column = part.firstColumn; column < part.endColumn; ++column) {
            const int width = layout.GetColumnWidth(column);
            if (width <= 0)
                continue;
            const CRect cell(x, top, x + width, top + m_rowHeight);
            m_dc.Rectangle(cell);
            CRect inner(cell.left + m_rowHeight / 4, cell.top + m_rowHeight / 8, cell.right - m_rowHeight / 4,
                        cell.bottom);
            const unsigned align = model.IsNumericColumn(column) ? DT_RIGHT : DT_LEFT;
            m_dc.DrawText(texts[static_cast<size_t>(column - part.firstColumn)], &inner,
                          align | DT_SINGLELINE | DT_NOPREFIX);
            x += width;
        }
    }

    CTableView& m_view;
    CDC& m_dc;
    CRect m_area;
    CFont m_cellFont;
    CFont m_headerFont;
    int m_rowHeight = 1;
    // None when nothing fits in the margins.
    std::optional<CTablePrintLayout> m_layout;
};

} // namespace

CPrintJob TablePrintJob(CTableView& view)
{
    CPrintJob job;
    job.countPages = [&view](CDC& dc) { return CTablePages(view, dc).GetPageCount(); };
    job.printPages = [&view](CDC& dc, int first, int last) {
        CTablePages pages(view, dc);
        const int count = pages.GetPageCount();
        first = std::max(first, 1);
        last = last <= 0 || last > count ? count : last;
        int printed = 0;
        for (int page = first; page <= last; ++page) {
            if (printed > 0 && !dc.NewPage())
                break;
            pages.PrintPage(page);
            ++printed;
        }
        return printed;
    };
    job.nothingToPrint = kNothingToPrint;
    return job;
}
