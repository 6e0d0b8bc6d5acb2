#pragma once

#include <functional>
#include <string>

class CDC;
class CDrelView;
class QPrinter;
class QWidget;

// The print and preview dialogs printing goes through. The program uses
// the platform's own; tests put theirs in place, printing to a PDF file.
class IPrintDialogs {
public:
    virtual ~IPrintDialogs() = default;
    // Lets the user choose the printer and the pages (1 to pageCount)
    // into printer; false cancels.
    virtual bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent);
    // Shows the pages as paint draws them onto the printer it is given,
    // until the user closes the preview (or prints from it).
    virtual void Preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint, QWidget* parent);
};

IPrintDialogs& PrintDialogs();
// Null restores the platform's dialogs; the caller keeps ownership.
void SetPrintDialogs(IPrintDialogs* dialogs);

// Something to print, as the print commands ask it: its page count on a
// printer context (0 when nothing can be printed), and pages first..last
// of it (from 1; last 0: to the end) printed onto one, each after the
// first on a new page; the pages printed.
struct CPrintJob {
    std::function<int(CDC& dc)> countPages;
    std::function<int(CDC& dc, int first, int last)> printPages;
    // Told when nothing can be printed (code page 1257).
    std::string nothingToPrint;
};

// A print command: the page count on the printer's sheet first, then the
// printer and the pages chosen (not asked when direct), then the pages
// printed. On the printer given (the application's, which keeps what was
// chosen), else on the default printer. The pages printed; 0 when
// cancelled or when nothing can be printed (the user is told then).
int RunPrintJob(const CPrintJob& job, QWidget* parent = nullptr, QPrinter* printer = nullptr, bool direct = false);
// A print preview command: the pages as printing would make them.
void RunPrintPreview(const CPrintJob& job, QWidget* parent = nullptr, QPrinter* printer = nullptr);

// The print command of a map view: the page count of the page setup first,
// then the printer and the pages chosen, then the pages printed. The pages
// printed; 0 when cancelled or when nothing can be printed (the user is
// told then). On the printer given (the application's, which keeps what
// was chosen), else on the default printer.
int PrintMapView(CDrelView& view, QWidget* parent = nullptr, QPrinter* printer = nullptr);
// The print preview command: the pages as printing would make them.
void PreviewMapView(CDrelView& view, QWidget* parent = nullptr, QPrinter* printer = nullptr);
