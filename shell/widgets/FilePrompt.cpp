#include "shell/widgets/FilePrompt.h"

#include "platform/Path.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "shell/FileFilter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace {

constexpr int kOpenCaption = 61902;
constexpr int kSaveCaption = 61903;

} // namespace

void SetUpFileDialog(QFileDialog& dialog, bool open, const std::string& filter, const std::string& defaultExt,
                     const std::string& path)
{
    dialog.setWindowTitle(ToQString(LoadString(open ? kOpenCaption : kSaveCaption)));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const std::string& f : ToQtNameFilters(filter))
        filters.append(ToQString(f));
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!defaultExt.empty())
        dialog.setDefaultSuffix(ToQString(defaultExt[0] == '.' ? defaultExt.substr(1) : defaultExt));
    if (!path.empty()) {
        const QFileInfo proposal(QString::fromStdString(ResolvePath(path)));
        if (proposal.isDir()) {
            dialog.setDirectory(proposal.absoluteFilePath());
        } else {
            if (proposal.dir().exists())
                dialog.setDirectory(proposal.absolutePath());
            dialog.selectFile(proposal.fileName());
        }
    }
}

bool CQtFilePrompt::PromptFileName(std::string& path, bool open, const std::string& filter,
                                   const std::string& defaultExt)
{
    QFileDialog dialog(QApplication::activeWindow());
    SetUpFileDialog(dialog, open, filter, defaultExt, path);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = FromNativePath(dialog.selectedFiles().front().toStdString());
    return true;
}

namespace {

// Runs the dialog with the filter of the index (from 1) chosen first;
// the index then holds the filter chosen.
bool RunWithFilterIndex(QFileDialog& dialog, int& filterIndex)
{
    const QStringList filters = dialog.nameFilters();
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    // With the details hidden the dialog names the filter by its text alone.
    const QString chosen = dialog.selectedNameFilter();
    for (qsizetype i = 0; i < filters.size(); ++i)
        if (filters[i] == chosen || filters[i].startsWith(chosen + QStringLiteral(" ("))) {
            filterIndex = static_cast<int>(i) + 1;
            break;
        }
    return true;
}

} // namespace

bool PromptOpenFiles(const std::string& filter, int& filterIndex, bool multiple, std::vector<std::string>& paths)
{
    QFileDialog dialog(QApplication::activeWindow());
    SetUpFileDialog(dialog, true, filter, {}, {});
    if (multiple)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    if (!RunWithFilterIndex(dialog, filterIndex))
        return false;
    paths.clear();
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(FromNativePath(file.toStdString()));
    return true;
}

bool PromptSaveFile(const std::string& filter, int& filterIndex, const std::string& defaultExt, std::string& path)
{
    QFileDialog dialog(QApplication::activeWindow());
    SetUpFileDialog(dialog, false, filter, defaultExt, path);
    if (!RunWithFilterIndex(dialog, filterIndex))
        return false;
    path = FromNativePath(dialog.selectedFiles().front().toStdString());
    return true;
}
