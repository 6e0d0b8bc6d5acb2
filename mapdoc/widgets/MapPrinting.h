#pragma once

#include <functional>

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

// The print command of a map view: the page count of the page setup first,
// then the printer and the pages chosen, then the pages printed. The pages
// printed; 0 when cancelled or when nothing can be printed (the user is
// told then). On the printer given (the application's, which keeps what
// was chosen), else on the default printer.
int PrintMapView(CDrelView& view, QWidget* parent = nullptr, QPrinter* printer = nullptr);
// The print preview command: the pages as printing would make them.
void PreviewMapView(CDrelView& view, QWidget* parent = nullptr, QPrinter* printer = nullptr);
