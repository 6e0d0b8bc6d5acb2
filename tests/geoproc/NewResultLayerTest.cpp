// A new layer's files from the chosen names to the legend: written under a
// temporary title, renamed whole when the work ends well or a cancel keeps
// what was written, otherwise removed, the chosen name and the source
// untouched.
#include "geoproc/NewResultLayer.h"

#include "tests/geoproc/GeoprocTestSupport.h"

#include <stdexcept>
#include <unistd.h>

namespace {

enum class Fault {
    kNone,
    kCancel,          // the user cancels after the object at
    kFailedAppend,    // the append of the object at fails
    kThrow,           // an exception at the object at
    kMalformedSource, // the source's second object cannot be read
    kSourceFile,      // the source's own data file chosen
    kNoFolder,        // a folder that is not there
    kLockedFolder,    // a folder that cannot be written
};

constexpr int kSourceObjects = 5;

// Copies the source's objects one by one into the new layer of the choice,
// as an operation would, the fault coming in where asked.
int CopyObjects(CLayer& source, CDrelDoc& document, const CResultLayerChoice& choice, CNewResultLayer::CancelRule rule,
                Fault fault, int at)
{
    CNewResultLayer result(document, choice, rule);
    if (!result.Begin())
        return 0;
    EOperationEnd end = EOperationEnd::kDone;
    {
        CLayerReader reader;
        CLayerReader writer;
        if (!reader.OpenLayer(&source) || !writer.CreateSource(result.GetWritePath()))
            return 0;
        CFeatureSource& from = *reader.GetSource();
        CFeatureSource& to = *writer.GetSource();
        const std::vector<CDbfFieldInfo> fields = from.GetFieldInfos();
        if (!to.Create(result.GetWritePath(), choice.type, fields.data()))
            return 0;
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
        CShape shape;
        for (int n = 0; from.ReadNextShape(shape); ++n) {
            if (fault == Fault::kThrow && n == at)
                throw std::runtime_error("broken");
            if ((fault == Fault::kFailedAppend && n == at) || !to.AppendShape(shape, false)) {
                end = EOperationEnd::kFailed;
                break;
            }
            from.GetRecordTable(from.GetCurrentRecord());
            from.CopyAttributesTo(to.GetTable());
            if (!to.GetTable().WriteRecord()) {
                end = EOperationEnd::kFailed;
                break;
            }
            if (progress->CheckCancel()) {
                end = EOperationEnd::kCancelled;
                break;
            }
        }
        if (end == EOperationEnd::kDone && from.GetError() != CFeatureSource::kNoError) {
            AppMessageBox(1028);
            end = EOperationEnd::kFailed;
        }
    }
    return result.End(end) ? 1 : 0;
}

struct Row {
    const char* what;
    Fault fault;
    int at;
    CNewResultLayer::CancelRule rule;
    bool existing;    // a layer of the chosen name is there, and the user agreed to replace it
    int kept;         // objects of the added layer; -1: nothing added
    unsigned message; // the one message told, 0 none
};

constexpr CNewResultLayer::CancelRule kNothing = CNewResultLayer::kCancelAddsNothing;
constexpr CNewResultLayer::CancelRule kKeep = CNewResultLayer::kCancelKeepsWritten;

const Row kRows[] = {
    {"success", Fault::kNone, 0, kNothing, false, kSourceObjects, 0},
    {"success over a layer", Fault::kNone, 0, kNothing, true, kSourceObjects, 0},
    {"cancel at the first, kept", Fault::kCancel, 0, kKeep, false, 1, 0},
    {"cancel in the middle, kept", Fault::kCancel, 2, kKeep, false, 3, 0},
    {"cancel at the last, kept", Fault::kCancel, kSourceObjects - 1, kKeep, false, kSourceObjects, 0},
    {"cancel in the middle over a layer, kept", Fault::kCancel, 2, kKeep, true, 3, 0},
    {"cancel at the first, nothing", Fault::kCancel, 0, kNothing, false, -1, 0},
    {"cancel in the middle, nothing", Fault::kCancel, 2, kNothing, false, -1, 0},
    {"cancel at the last, nothing", Fault::kCancel, kSourceObjects - 1, kNothing, true, -1, 0},
    {"a failed append", Fault::kFailedAppend, 2, kKeep, false, -1, 1088},
    {"a failed append over a layer", Fault::kFailedAppend, 2, kKeep, true, -1, 1088},
    {"an exception", Fault::kThrow, 3, kKeep, true, -1, 0},
    {"a malformed source object", Fault::kMalformedSource, 0, kKeep, false, -1, 1028},
    {"the source's own file", Fault::kSourceFile, 0, kNothing, false, -1, 1074},
    {"no folder", Fault::kNoFolder, 0, kNothing, false, -1, 1027},
    {"a folder that cannot be written", Fault::kLockedFolder, 0, kNothing, false, -1, 1027},
};

class NewResultLayerTest : public CGeoprocFixture, public ::testing::WithParamInterface<const char*> {
protected:
    // The format of the new layer.
    std::string Extension() const { return GetParam(); }
    void MakeOldLayer(const std::string& path)
    {
        CLayerReader writer;
        ASSERT_TRUE(writer.CreateSource(path));
        MakeShapeLayer(*writer.GetSource(), path, CLayer::kLine, {"100 100, 101 101", "102 102, 103 103"});
    }
};

TEST_P(NewResultLayerTest, EveryEndLeavesWholeFilesOrNone)
{
    std::vector<std::string> sourceShapes;
    for (int i = 0; i < kSourceObjects; ++i)
        sourceShapes.push_back(FormatC("%d 0, %d 5, %d 9", i, i + 1, i + 2));
    CLayer& source = AddShapeLayer("Source", "source.gdb", CLayer::kLine, sourceShapes);
    const std::string pristine = dir.File("pristine/");
    ASSERT_TRUE(MakeFolder(pristine));
    for (const char* extension : {"gdb", "vec", "dbf"})
        WriteWholeFile(pristine + "source." + extension,
                       ReadWholeFile(ChangeExtensionCopy(source.GetPath(), extension)));

    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        const bool superuser = ::geteuid() == 0;
        if (row.fault == Fault::kLockedFolder && superuser)
            continue; // the superuser writes in any folder
        CTempDir out;
        CResultLayerChoice choice;
        choice.name = "Result";
        choice.type = CLayer::kLine;
        choice.path = out.File("result." + Extension());
        if (row.fault == Fault::kSourceFile)
            choice.path = source.GetPath();
        if (row.fault == Fault::kNoFolder)
            choice.path = out.File("absent/result." + Extension());
        if (row.fault == Fault::kLockedFolder)
            std::filesystem::permissions(ResolvePath(out.Path()),
                                         std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        if (row.existing) {
            MakeOldLayer(choice.path);
            choice.options.replaceConfirmed = true;
        }
        if (row.fault == Fault::kMalformedSource)
            SpoilSecondBlock(source.GetPath());
        std::map<std::string, std::string> before;
        for (const std::string& name : FindMatchingFiles(out.File("*")))
            before[name] = ReadWholeFile(out.File(name));
        user.messages.clear();
        user.cancelChecks = 0;
        user.cancelAfterChecks = row.fault == Fault::kCancel ? row.at : -1;
        const int layers = doc.GetLayerCount();

        int result = 0;
        bool thrown = false;
        try {
            result = CopyObjects(source, doc, choice, row.rule, row.fault, row.at);
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        std::filesystem::permissions(ResolvePath(out.Path()), std::filesystem::perms::owner_all);
        EXPECT_EQ(thrown, row.fault == Fault::kThrow);
        EXPECT_EQ(user.MessageIds(), row.message ? std::vector<unsigned>{row.message} : std::vector<unsigned>{});

        std::map<std::string, std::string> after;
        for (const std::string& name : FindMatchingFiles(out.File("*")))
            after[name] = ReadWholeFile(out.File(name));
        if (row.kept < 0) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(doc.GetLayerCount(), layers);
            // A failure never touches the chosen name, and nothing else stays.
            EXPECT_EQ(after, before);
        } else {
            EXPECT_EQ(result, 1);
            ASSERT_EQ(doc.GetLayerCount(), layers + 1);
            const CLayer* added = doc.GetLayer(layers);
            EXPECT_EQ(added->GetName(), "Result");
            EXPECT_EQ(added->GetPath(), choice.path);
            EXPECT_EQ(added->GetType(), CLayer::kLine);
            // Every object written so far, whole, and no file but the layer's.
            const std::vector<CReadObject> objects = ReadObjects(choice.path, CLayer::kLine);
            ASSERT_EQ(objects.size(), static_cast<size_t>(row.kept));
            for (int i = 0; i < row.kept; ++i) {
                EXPECT_EQ(ShapeText(objects[static_cast<size_t>(i)].shape), sourceShapes[static_cast<size_t>(i)]);
                EXPECT_EQ(objects[static_cast<size_t>(i)].fields.at("Name"), "S" + std::to_string(i));
            }
            for (const auto& [name, bytes] : after)
                EXPECT_EQ(GetPathTitle(name), "result") << name;
            doc.RemoveLayer(doc.GetLayer(layers), false, false, false);
        }
        for (const char* extension : {"gdb", "vec", "dbf"}) {
            const std::string path = ChangeExtensionCopy(source.GetPath(), extension);
            if (row.fault == Fault::kMalformedSource)
                WriteWholeFile(path, ReadWholeFile(pristine + "source." + extension));
            EXPECT_EQ(ReadWholeFile(path), ReadWholeFile(pristine + "source." + extension)) << extension;
        }
    }
}

TEST_P(NewResultLayerTest, AFileOfTheNameIsReplacedOnlyAfterYes)
{
    CResultLayerChoice choice;
    choice.name = "Result";
    choice.type = CLayer::kLine;
    choice.path = dir.File("result." + Extension());
    MakeOldLayer(choice.path);
    const auto before = Folder();
    CNewResultLayer refused(doc, choice);
    EXPECT_FALSE(refused.Begin());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1074});
    EXPECT_EQ(Folder(), before);

    // A file of the layer's kind alone is no one's to replace either.
    RemoveFile(choice.path);
    choice.options.replaceConfirmed = true;
    user.messages.clear();
    CNewResultLayer orphan(doc, choice);
    EXPECT_FALSE(orphan.Begin());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1074});
}

INSTANTIATE_TEST_SUITE_P(Formats, NewResultLayerTest, ::testing::Values("gdb", "shp"));

} // namespace
