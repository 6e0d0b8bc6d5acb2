#include "mapdoc/widgets/MapPrinting.h"

#include "mapdoc/DrelView.h"
#include "mapdoc/PrintPages.h"
#include "platform/DC.h"
#include "platform/Installed.h"
#include "platform/UserServices.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <optional>

namespace {

CInstalled<IPrintDialogs> g_dialogs;

// "Nėra ką spausdinti: tarp lapo paraščių žemėlapis netelpa arba užimtų per daug lapų."
const char kNothingToPrint[] = "N\xEBra k\xE0 spausdinti: tarp lapo para\xF0\xE8i\xF8 \xFE" "em\xEBlapis netelpa arba "
                               "u\xFEimt\xF8 per daug lap\xF8.";
// "Nepavyko pradėti spausdinimo."
const char kCannotPrint[] = "Nepavyko prad\xEBti spausdinimo.";

int CountPages(const CPrintJob& job, const QPrinter& printer)
{
    CDC probe;
    probe.SetDeviceInfo(CDC::DescribeDevice(printer));
    return job.countPages(probe);
}

CPrintJob MapPrintJob(CDrelView& view)
{
    CPrintJob job;
    job.countPages = [&view](CDC& dc) {
        return view.CountPrintPages(dc, CRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES)));
    };
    job.printPages = [&view](CDC& dc, int first, int last) { return PrintViewPages(view, dc, first, last); };
    job.nothingToPrint = kNothingToPrint;
    return job;
}

} // namespace

bool IPrintDialogs::ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pageCount);
    dialog.setFromTo(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pageCount > 1);
    return dialog.exec() == QDialog::Accepted;
}

void IPrintDialogs::Preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint, QWidget* parent)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&paint](QPrinter* target) { paint(*target); });
    dialog.exec();
}

IPrintDialogs& PrintDialogs()
{
    return g_dialogs.Get();
}

void SetPrintDialogs(IPrintDialogs* dialogs)
{
    g_dialogs.Set(dialogs);
}

int RunPrintJob(const CPrintJob& job, QWidget* parent, QPrinter* given, bool direct)
{
    std::optional<QPrinter> standard;
    QPrinter& printer = given ? *given : standard.emplace(QPrinter::HighResolution);
    const int count = CountPages(job, printer);
    if (count == 0) {
        AppMessageBox(job.nothingToPrint, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    int first = 1, last = 0;
    if (!direct) {
        if (!PrintDialogs().ChoosePrinter(printer, count, parent))
            return 0;
        if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
            first = printer.fromPage();
            last = printer.toPage();
        }
    }
    CDC dc(printer);
    if (!dc.IsPrinting()) {
        AppMessageBox(kCannotPrint, MB_OK | MB_ICONERROR);
        return 0;
    }
    // The printer chosen may hold another paper: the pages are counted again.
    const int printed = job.printPages(dc, first, last);
    if (printed == 0)
        AppMessageBox(job.nothingToPrint, MB_OK | MB_ICONINFORMATION);
    return printed;
}

void RunPrintPreview(const CPrintJob& job, QWidget* parent, QPrinter* given)
{
    std::optional<QPrinter> standard;
    QPrinter& printer = given ? *given : standard.emplace(QPrinter::HighResolution);
    if (CountPages(job, printer) == 0) {
        AppMessageBox(job.nothingToPrint, MB_OK | MB_ICONINFORMATION);
        return;
    }
    PrintDialogs().Preview(
        printer,
        [&job](QPrinter& target) {
            CDC dc(target);
            job.printPages(dc, 1, 0);
        },
        parent);
}

int PrintMapView(CDrelView& view, QWidget* parent, QPrinter* given)
{
    return RunPrintJob(MapPrintJob(view), parent, given);
}

void PreviewMapView(CDrelView& view, QWidget* parent, QPrinter* given)
{
    RunPrintPreview(MapPrintJob(view), parent, given);
}
