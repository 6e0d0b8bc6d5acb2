// Legend entries copied to the clipboard and pasted into a map.
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Archive.h"
#include "platform/Clipboard.h"
#include "platform/Stream.h"
#include "shell/LayerClipboard.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Names = std::vector<std::string>;

class CFakeClipboard : public IClipboard {
public:
    bool HasFormat(const std::string& format) const override { return formats.count(format) != 0; }
    Bytes GetData(const std::string& format) const override
    {
        auto it = formats.find(format);
        return it == formats.end() ? Bytes() : it->second;
    }
    bool SetData(const std::string& format, const Bytes& data) override
    {
        formats.clear();
        formats[format] = data;
        return true;
    }
    bool SetImage(const QImage&) override { return false; }

    std::map<std::string, Bytes> formats;
};

CLayer* Add(CDrelDoc& doc, const std::string& name, const std::string& path, int type, uint32_t flags = 0)
{
    auto layer = std::make_unique<CLayer>(name, path, type);
    if (flags)
        layer->SetFlags(flags);
    CLayer* raw = layer.get();
    doc.AddLayer(std::move(layer), false);
    return raw;
}

CLayer* AddGroup(CDrelDoc& doc, const std::string& name, int members)
{
    CLayer* group = Add(doc, name, "", CLayer::kPoint, CLayer::kGroup | CLayer::kShown);
    group->SetMemberCount(members);
    return group;
}

Names NamesOf(const CDrelDoc& doc)
{
    Names names;
    for (int i = 0; i < doc.GetLayerCount(); ++i)
        names.push_back(doc.GetLayer(i)->GetName());
    return names;
}

// An archive of the entries as the clipboard holds a folder, with the
// count given.
Bytes Folder(uint32_t count, const std::vector<const CLayer*>& entries)
{
    CMemoryStream stream;
    CArchive archive(stream, CArchive::store);
    archive << count;
    for (const CLayer* entry : entries)
        archive.WriteObject(entry);
    return stream.Data();
}

class LayerClipboardTest : public ::testing::Test {
protected:
    LayerClipboardTest()
    {
        source.SetPathName("/maps/a/town.map");
        Add(source, "Keliai", "/maps/a/roads.gdb", CLayer::kLine);
        AddGroup(source, "Vandenys", 2);
        Add(source, "Upės", "/maps/a/rivers.shp", CLayer::kLine);
        Add(source, "Ežerai", "/maps/a/lakes.gdb", CLayer::kArea);
        Add(source, "Taškai", "/maps/a/points.gdb", CLayer::kPoint);

        target.SetPathName("/elsewhere/b/region.map");
        Add(target, "Upės", "/elsewhere/b/rivers.gdb", CLayer::kLine);
        Add(target, "Vandenys", "/elsewhere/b/water.gdb", CLayer::kArea);
    }

    CDrelDoc source;
    CDrelDoc target;
    CFakeClipboard clipboard;
};

TEST_F(LayerClipboardTest, AGroupWithItsLayersArrivesInOrderWithUniqueNames)
{
    ASSERT_TRUE(LayerClipboard::Copy(source, *source.GetLayer(1), clipboard));
    ASSERT_TRUE(clipboard.HasFormat("Drel Folder"));
    EXPECT_FALSE(clipboard.HasFormat("Drel Layer"));
    EXPECT_TRUE(LayerClipboard::CanPaste(clipboard));

    std::vector<uint32_t> hints;
    struct CHints : IDocumentObserver {
        std::vector<uint32_t>& hints;
        explicit CHints(std::vector<uint32_t>& h) : hints(h) {}
        void OnUpdate(CDrelDoc&, uint32_t hint) override { hints.push_back(hint); }
    } observer(hints);
    target.AddObserver(&observer);
    ASSERT_TRUE(LayerClipboard::Paste(target, clipboard));
    target.RemoveObserver(&observer);

    EXPECT_EQ(NamesOf(target), (Names{"Upės", "Vandenys", "Vandenys (2)", "Upės (2)", "Ežerai"}));
    EXPECT_EQ(target.GetGroupSpan(target.GetLayer(2)), 2);
    // The paths are those of the first map, not made against the second's folder.
    EXPECT_EQ(target.GetLayer(3)->GetPath(), "/maps/a/rivers.shp");
    EXPECT_EQ(target.GetLayer(4)->GetPath(), "/maps/a/lakes.gdb");
    EXPECT_EQ(target.GetLayer(4)->GetType(), CLayer::kArea);
    EXPECT_TRUE(target.IsModified());
    // The views hear once all the entries are there.
    ASSERT_FALSE(hints.empty());
    EXPECT_EQ(hints.front(), MakeHint(2, kHintLayerAdded));
}

TEST_F(LayerClipboardTest, ALayerTravelsAlone)
{
    ASSERT_TRUE(LayerClipboard::Copy(source, *source.GetLayer(4), clipboard));
    ASSERT_TRUE(clipboard.HasFormat("Drel Layer"));
    ASSERT_TRUE(LayerClipboard::Paste(target, clipboard));
    ASSERT_TRUE(LayerClipboard::Paste(target, clipboard));
    EXPECT_EQ(NamesOf(target), (Names{"Upės", "Vandenys", "Taškai", "Taškai (2)"}));
}

TEST_F(LayerClipboardTest, EmptyForeignOrBrokenDataPastesNothing)
{
    const CLayer* group = source.GetLayer(1);
    const CLayer* rivers = source.GetLayer(2);
    const CLayer* lakes = source.GetLayer(3);
    const Bytes whole = LayerClipboard::WriteEntry(source, *group);
    struct Case {
        const char* what;
        const char* format;
        Bytes bytes;
    };
    std::vector<Case> cases = {
        {"nothing", "Drel Folder", {}},
        {"foreign bytes", "Drel Layer", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
        {"a null entry", "Drel Folder", Folder(3, {group, nullptr, lakes})},
        {"fewer entries than counted", "Drel Folder", Folder(3, {group, rivers})},
        {"more entries than counted", "Drel Folder", Folder(2, {group, rivers, lakes})},
        {"a group missing a member", "Drel Folder", Folder(2, {group, rivers})},
        {"a folder without a group", "Drel Folder", Folder(2, {rivers, lakes})},
        {"a group as a layer", "Drel Layer", Bytes(whole.begin() + 4, whole.end())},
        {"a count of zero", "Drel Folder", Folder(0, {})},
        {"a huge count", "Drel Folder", Folder(0xFFFFFFFF, {group})},
    };
    for (size_t cut = 0; cut < whole.size(); ++cut)
        cases.push_back({"cut short", "Drel Folder", Bytes(whole.begin(), whole.begin() + static_cast<long>(cut))});
    for (const Case& c : cases) {
        clipboard.formats = {{c.format, c.bytes}};
        EXPECT_FALSE(LayerClipboard::Paste(target, clipboard)) << c.what << " " << c.bytes.size();
        EXPECT_EQ(target.GetLayerCount(), 2) << c.what;
    }
    EXPECT_FALSE(target.IsModified());
    clipboard.formats = {{"text/plain", {'x'}}};
    EXPECT_FALSE(LayerClipboard::CanPaste(clipboard));
    EXPECT_FALSE(LayerClipboard::Paste(target, clipboard));
}

TEST_F(LayerClipboardTest, AGroupCountingMoreThanTheListHoldsWritesOnlyWhatIsThere)
{
    AddGroup(source, "Tuščia", 5); // the last entry: its members are not there
    const Bytes bytes = LayerClipboard::WriteEntry(source, *source.GetLayer(5));
    CMemoryStream stream(bytes.data(), bytes.size());
    CArchive archive(stream, CArchive::load);
    uint32_t count = 0;
    archive >> count;
    EXPECT_EQ(count, 1u);
    // What it says of its members is not so: it is not pasted.
    clipboard.formats = {{"Drel Folder", bytes}};
    EXPECT_FALSE(LayerClipboard::Paste(target, clipboard));
}

} // namespace
