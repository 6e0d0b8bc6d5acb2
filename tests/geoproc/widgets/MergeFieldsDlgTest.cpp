// Dialog 30801 on the offscreen platform: its texts, the fields it lists
// and what OK gives back.
#include "geoproc/widgets/MergeFieldsDlg.h"

#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "shell/widgets/ControlIds.h"
#include "tests/core/FieldLists.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MergeFieldsDlgTest : public ::testing::Test, public CWithApplication {
protected:
    MergeFieldsDlgTest() : layer(Utf8ToCp1257("Pastatai"), dir.File("pastatai.gdb"), CLayer::kArea)
    {
        CGdbSource source;
        const std::vector<CDbfFieldInfo> fields = FieldList(
            {{"KODAS", 'N', 8, 0}, {"KVARTALAS", 'C', 20, 0}, {"SLAPTAS", 'C', 4, 0}, {"AUKSTAI", 'N', 3, 0}});
        EXPECT_TRUE(source.Create(layer.GetPath(), CLayer::kArea, fields.data()));
        layer.FieldAliases().SetAt("KVARTALAS", Utf8ToCp1257("Kvartalo numeris"));
        layer.SetFlag(CLayer::kHasAliases, true);
        layer.HiddenFields() = {"SLAPTAS"};
        layer.SetFlag(CLayer::kHasHiddenFields, true);
    }
    static void Click(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    CTempDir dir;
    CScriptedUserServices user;
    CLayer layer;
};

TEST_F(MergeFieldsDlgTest, ListsTheShownFieldsByCaptionAndGivesTheTickedNames)
{
    struct Case {
        const char* name;
        std::vector<int> ticked;
        std::string fields;
    };
    const Case cases[] = {
        {"none ticked", {}, ""},
        {"one", {1}, "KVARTALAS"},
        {"several, in list order", {2, 0}, "KODAS\tAUKSTAI"},
    };
    for (const Case& c : cases) {
        CMergeFieldsDlg dialog(layer);
        dialog.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(GetControlId(&dialog), 30801);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Gretimų objektų apjungimas"));
        bool sentence = false;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            sentence = sentence || label->text() == QString::fromUtf8(
                                                        "Jeigu norite, kad būtų apjungti tik tie gretimi objektai, "
                                                        "kurių kai kurių laukų reikšmės sutampa, tai pažymėkite šiuos "
                                                        "laukus varnelėmis:");
        EXPECT_TRUE(sentence);
        auto* list = FindControl<QListWidget>(&dialog, 1014);
        ASSERT_TRUE(list);
        QStringList captions;
        for (int row = 0; row < list->count(); ++row)
            captions << list->item(row)->text();
        EXPECT_EQ(captions, (QStringList{"KODAS", QString::fromUtf8("Kvartalo numeris"), "AUKSTAI"}));
        for (const int row : c.ticked)
            list->item(row)->setCheckState(Qt::Checked);
        if (c.ticked.size() > 1)
            SaveScreenshot(dialog, "geoproc-30801-merge-fields");
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.result(), IDOK) << c.name;
        EXPECT_EQ(dialog.GetFieldNames(), c.fields) << c.name;
    }
}

} // namespace
