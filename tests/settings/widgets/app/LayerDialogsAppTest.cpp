// The layer management and import dialogs in the program, through the
// settings installer, on the demo town.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerPropertySheet.h"
#include "mapdoc/DocCommands.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/LegendView.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/layers/GdbTestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace {

class LayerDialogsAppTest : public CAppFixture {
protected:
    LayerDialogsAppTest()
    {
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
    }
    ~LayerDialogsAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        SetLayerPropertySheet(nullptr);
    }
    // The town in a folder of its own: the commands write beside the map.
    CMapFrame* OpenTown()
    {
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(town.Path(), options, error)) << error;
        EXPECT_TRUE(Start({town.File(CDemoMapWriter::kMapFile)}));
        return frame ? dynamic_cast<CMapFrame*>(frame->ActiveChild()) : nullptr;
    }
    CLayer* Select(CMapFrame& child, const char* utf8Name)
    {
        CLayer* entry = child.GetMapDocument().Layers().FindByName(Utf8ToCp1257(utf8Name));
        EXPECT_TRUE(entry) << utf8Name;
        if (entry)
            child.GetLegend()->SelectLayer(entry);
        return entry;
    }
    // A second modal window that a command opens after the first closed.
    static void ThenModal(int id, std::function<void(QWidget&)> look)
    {
        auto* poll = new QTimer;
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        QObject::connect(poll, &QTimer::timeout, [poll, started, id, look = std::move(look)] {
            QWidget* modal = QApplication::activeModalWidget();
            const bool found = modal && GetControlId(modal) == id;
            if (!found && started->elapsed() < 10000)
                return;
            poll->stop();
            poll->deleteLater();
            ASSERT_TRUE(found) << "no window " << id;
            look(*modal);
            modal->close();
        });
        poll->start(10);
    }
    static void SetText(QWidget& dialog, int id, const std::string& cp1257)
    {
        auto* edit = FindControl<QLineEdit>(&dialog, id);
        ASSERT_TRUE(edit) << id;
        edit->setText(ToQString(cp1257));
    }
    static void Click(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        button->click();
    }

    CTempDir town;
};

TEST_F(LayerDialogsAppTest, TheLayerCommandsAreEnabledAndOpenTheirDialogs)
{
    CMapFrame* child = OpenTown();
    ASSERT_TRUE(child);
    const int count = child->GetMapDocument().Layers().GetSize();
    const struct {
        const char* selected; // nothing selected when null
        int command;
        int dialog;
        const char* shot;
    } cases[] = {
        {nullptr, 30069, 102, "new-layer-102-program"},
        {nullptr, 30302, 30788, "group-name-30788-program"},
        {nullptr, 30483, 385, "layer-list-385-program"},
        {"Gatvės", 30484, 102, nullptr},
        {"Gatvės", 30071, 242, "remove-layer-242-program"},
        {"Reljefas", 30066, 30787, "group-props-30787-program"},
        {"Reljefas", 30071, 328, "remove-group-328-program"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        if (c.selected) {
            ASSERT_TRUE(Select(*child, c.selected));
        }
        ASSERT_TRUE(IsEnabled(c.command));
        WithModal([&] { Run(c.command); },
                  [&](QWidget& modal) {
                      EXPECT_EQ(GetControlId(&modal), c.dialog);
                      if (c.shot)
                          SaveScreenshot(modal, c.shot);
                  });
    }
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(child->GetMapDocument().Layers().GetSize(), count) << "all cancelled";
}

TEST_F(LayerDialogsAppTest, ANewLayerIsInTheLegendAndOnDisk)
{
    CMapFrame* child = OpenTown();
    ASSERT_TRUE(child);
    const std::string name = Utf8ToCp1257("Medžiai");
    WithModal([this] { Run(30069); },
              [&](QWidget& dialog) {
                  SetText(dialog, 1004, name);
                  SetText(dialog, 1005, "medziai.gdb");
                  FindControl<QComboBox>(&dialog, 1007)->setCurrentIndex(0);
                  Click(dialog, IDOK);
                  EXPECT_FALSE(dialog.isVisible());
              });
    EXPECT_TRUE(shown.empty());
    CLayer* layer = child->GetMapDocument().Layers().FindByName(name);
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->GetType(), CLayer::kPoint);
    EXPECT_EQ(layer->GetPath(), town.File("medziai.gdb")) << "made absolute against the map's folder";
    EXPECT_TRUE(::FileExists(town.File("medziai.gdb")));
    EXPECT_TRUE(::FileExists(town.File("medziai.dbf")));
    EXPECT_GE(child->GetLegendList()->FindLayer(layer), 0);
    EXPECT_TRUE(child->GetMapDocument().IsModified());
}

TEST_F(LayerDialogsAppTest, ANewLayerOnAnOpenLayersFileIsRefusedAndTheFileKept)
{
    CMapFrame* child = OpenTown();
    ASSERT_TRUE(child);
    const std::vector<std::string> files = {"gatves.gdb", "gatves.dbf", "gatves.vec"};
    std::vector<std::string> before;
    for (const std::string& file : files)
        before.push_back(ReadWholeFile(town.File(file)));
    const int count = child->GetMapDocument().Layers().GetSize();
    answers = {IDYES};
    WithModal([this] { Run(30069); },
              [&](QWidget& dialog) {
                  SetText(dialog, 1004, "Naujos gatves");
                  SetText(dialog, 1005, "gatves.gdb");
                  Click(dialog, IDOK);
                  EXPECT_TRUE(dialog.isVisible());
              });
    ASSERT_EQ(shown.size(), 1u) << "refused before the question";
    EXPECT_EQ(shown[0], "Failas \"" + town.File("gatves.gdb") + "\" jau yra.");
    EXPECT_EQ(child->GetMapDocument().Layers().GetSize(), count);
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(ReadWholeFile(town.File(files[i])), before[i]) << files[i];
}

TEST_F(LayerDialogsAppTest, ImportingACoordinateTableAsksItsFieldsThenTheLayer)
{
    const std::string table = town.File("medziai.dbf");
    CMapFrame::Hooks().frame.openFiles = [&](const std::string&, int& index, bool,
                                             std::vector<std::string>& paths) {
        index = CDocCommands::kImportDbf;
        paths = {table};
        return true;
    };
    CMapFrame* child = OpenTown();
    ASSERT_TRUE(child);
    MakeTable(table, FieldList({{"PAV", 'C', 20, 0}, {"X", 'N', 12, 6}, {"Y", 'N', 12, 6}}),
              {{"Liepa", "24.000000", "55.000000"}, {"Klevas", "24.001000", "55.001000"}});
    ASSERT_TRUE(IsEnabled(30088));
    WithModal([this] { Run(30088); },
              [&](QWidget& dialog) {
                  ASSERT_EQ(GetControlId(&dialog), 178);
                  auto* x = FindControl<QComboBox>(&dialog, 1012);
                  auto* y = FindControl<QComboBox>(&dialog, 1021);
                  EXPECT_EQ(x->currentText(), "lon");
                  EXPECT_EQ(y->currentText(), "lat");
                  SaveScreenshot(dialog, "dbf-import-178-program");
                  x->setEditText("X");
                  y->setEditText("Y");
                  ThenModal(102, [&](QWidget& names) {
                      SetText(names, 1005, "medziu_taskai.gdb");
                      Click(names, IDOK);
                  });
                  Click(dialog, IDOK);
              });
    EXPECT_TRUE(shown.empty()) << Cp1257ToUtf8(shown.front());
    CLayer* layer = child->GetMapDocument().Layers().FindByName("medziai");
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->GetPath(), town.File("medziu_taskai.gdb"));
    CDbfTable written;
    ASSERT_TRUE(written.Open(town.File("medziu_taskai.dbf")));
    EXPECT_EQ(written.GetRecordCount(), 2);
}

} // namespace
