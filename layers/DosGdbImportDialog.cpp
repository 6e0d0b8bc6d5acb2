#include "layers/DosGdbImportDialog.h"

#include <atomic>

namespace {

IDosGdbImportDialog g_cancelling;
std::atomic<IDosGdbImportDialog*> g_dialog{nullptr};

} // namespace

IDosGdbImportDialog& DosGdbImportDialog()
{
    IDosGdbImportDialog* dialog = g_dialog.load();
    return dialog ? *dialog : g_cancelling;
}

void SetDosGdbImportDialog(IDosGdbImportDialog* dialog)
{
    g_dialog.store(dialog);
}
