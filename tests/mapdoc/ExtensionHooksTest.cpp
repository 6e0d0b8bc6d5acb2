#include "mapdoc/ExtensionHooks.h"

#include "tests/mapdoc/DocTestSupport.h"

#include <gtest/gtest.h>

namespace {

CDrelView* const kView = reinterpret_cast<CDrelView*>(0x1000);
CMainFrame* const kFrame = reinterpret_cast<CMainFrame*>(0x2000);
CDC* const kDc = reinterpret_cast<CDC*>(0x3000);

// Every hook the program can reach, with what was passed.
class CRecordingExtension : public CExtensionHooks {
public:
    int OnSetCursor() override
    {
        calls.push_back("cursor");
        return 7;
    }
    void OnLButtonDown(CDrelView* view, unsigned keyFlags, int x, int y) override
    {
        calls.push_back(view == kView ? "down " + std::to_string(keyFlags + x + y) : "down ?");
    }
    void OnMouseMove(CDrelView* view, unsigned keyFlags, int x, int y) override
    {
        calls.push_back(view == kView ? "move " + std::to_string(keyFlags + x + y) : "move ?");
    }
    void OnDraw(CDC* dc, CDrelView* view) override { calls.push_back(dc == kDc && view == kView ? "draw" : "draw ?"); }
    void OnFrameCreate(CMainFrame* frame) override { calls.push_back(frame == kFrame ? "create" : "create ?"); }
    void OnFrameClose(CMainFrame* frame) override { calls.push_back(frame == kFrame ? "close" : "close ?"); }
    void OnDrawOverview(int zero) override { calls.push_back("overview " + std::to_string(zero)); }
    void OnCommand(int id, CDrelDoc* document, CDrelView* view) override
    {
        calls.push_back("command " + std::to_string(id) + (document ? " doc" : "") + (view == kView ? " view" : ""));
    }
    void OnInitInstance(CMainFrame* frame) override { calls.push_back(frame == kFrame ? "init" : "init ?"); }
    int IsCommandAllowed(int id) override { return id == 30069 ? 0 : 1; }
    intptr_t OnMessage(int code, uintptr_t wParam, intptr_t lParam) override
    {
        return code * 1000 + static_cast<intptr_t>(wParam) + lParam;
    }
    void Destroy(int one) override { calls.push_back("destroy " + std::to_string(one)); }

    std::vector<std::string> calls;
};

void CallEveryHook(CDrelDoc* document)
{
    ExtensionOnSetCursor();
    ExtensionOnLButtonDown(kView, 1, 2, 3);
    ExtensionOnMouseMove(kView, 4, 5, 6);
    ExtensionOnDraw(kDc, kView);
    ExtensionOnFrameCreate(kFrame);
    ExtensionOnFrameClose(kFrame);
    ExtensionOnDrawOverview(0);
    ExtensionOnNewDocument(document);
    ExtensionOnOpenDocument(document, "a.map");
    ExtensionOnSaveDocument(document, "a.map");
    ExtensionOnCommand(20200, document);
    ExtensionOnCommand(20400, kView);
    ExtensionOnInitInstance(kFrame);
}

} // namespace

TEST(ExtensionHooks, WithoutAnExtensionTheFixedAnswersHold)
{
    ASSERT_EQ(GetExtension(), nullptr);
    CDrelDoc document;
    CallEveryHook(&document); // nothing to call, nothing breaks
    EXPECT_EQ(ExtensionOnSetCursor(), 0);
    for (int id : {0, 102, 20200, 20599, 30069})
        EXPECT_EQ(ExtensionIsCommandAllowed(id), 1) << id;
    for (int code = 1027; code <= 1030; ++code)
        EXPECT_EQ(ExtensionOnMessage(code, 5, 6), 0) << code;
    ExtensionDestroy(1);
}

TEST(ExtensionHooks, AnInstalledExtensionHearsEveryHookUntilDestroyed)
{
    CRecordingExtension extension;
    SetExtension(&extension);
    extension.transmitterValues = {11, 22};
    EXPECT_EQ(GetExtension()->transmitterValues[1], 22);
    CDrelDoc document; // its construction is a hook too
    CallEveryHook(&document);
    EXPECT_EQ(ExtensionOnSetCursor(), 7);
    EXPECT_EQ(ExtensionIsCommandAllowed(30069), 0); // this command never reaches a handler
    EXPECT_EQ(ExtensionIsCommandAllowed(30070), 1);
    EXPECT_EQ(ExtensionOnMessage(1028, 5, 6), 1028011);

    const std::vector<std::string> expected = {
        "cursor", "down 6", "move 15", "draw", "create", "close", "overview 0", "command 20200 doc",
        "command 20400 view", "init", "cursor",
    };
    EXPECT_EQ(extension.calls, expected);

    ExtensionDestroy(1);
    EXPECT_EQ(extension.calls.back(), "destroy 1");
    EXPECT_EQ(GetExtension(), nullptr);
    const size_t calls = extension.calls.size();
    CallEveryHook(&document);
    EXPECT_EQ(ExtensionIsCommandAllowed(30069), 1);
    EXPECT_EQ(extension.calls.size(), calls);
}
