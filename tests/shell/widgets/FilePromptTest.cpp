#include "shell/widgets/FilePrompt.h"

#include "platform/Path.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList ListedFiles(QFileDialog& dialog)
{
    QStringList names;
    auto* view = dialog.findChild<QListView*>("listView");
    if (!view || !view->model())
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names.append(view->model()->index(row, 0, root).data().toString());
    names.sort();
    return names;
}

TEST(FilePrompt, TheDbfFilterListsEitherLetterCase)
{
    NeedApplication();
    CTempDir dir;
    for (const char* name : {"A.DBF", "b.dbf", "c.Dbf", "d.txt"})
        WriteWholeFile(dir.File(name), "x");

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    SetUpFileDialog(dialog, true, "DBF Files (*.dbf)|*.dbf||", {}, dir.Path());
    EXPECT_EQ(dialog.nameFilters().size(), 1);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(WaitFor([&] { return ListedFiles(dialog).size() == 3; })) << ListedFiles(dialog).join(' ').toStdString();
    EXPECT_EQ(ListedFiles(dialog), (QStringList{"A.DBF", "b.dbf", "c.Dbf"}));
    // The user reads the filter's own text, not the patterns behind it.
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->currentText(), "DBF Files (*.dbf)");
    EXPECT_EQ(dialog.windowTitle(), "Atverti");
    SaveScreenshot(dialog, "file-dialog");
}

} // namespace
