#pragma once

#include <array>
#include <cstdint>
#include <string>

class CDC;
class CDrelDoc;
class CDrelView;
class CMainFrame;

// The optional extension module: one object reached through one
// process-wide pointer, called at fixed points of the views, the map
// document, start-up and the main frame. Nothing in the program installs
// one; callers go only through the forwarders below, which skip the call
// (or give a fixed answer) while none is installed. Tool modes 100 to 199
// and the commands 20200 to 20599 belong to the extension. All calls come
// on the user-interface thread.
class CExtensionHooks {
public:
    virtual ~CExtensionHooks() = default;

    // Non-zero when the extension has set the cursor.
    virtual int OnSetCursor() { return 0; }
    virtual void OnLButtonDown(CDrelView* view, unsigned keyFlags, int x, int y) {}
    virtual void OnMouseMove(CDrelView* view, unsigned keyFlags, int x, int y) {}
    virtual void OnDraw(CDC* dc, CDrelView* view) {}
    virtual void OnFrameCreate(CMainFrame* frame) {}
    virtual void OnFrameClose(CMainFrame* frame) {}
    virtual void OnDrawOverview(int zero) {}
    virtual void OnNewDocument(CDrelDoc* document) {}
    virtual void OnOpenDocument(CDrelDoc* document, const std::string& path) {}
    virtual void OnSaveDocument(CDrelDoc* document, const std::string& path) {}
    // The document's commands 20200 to 20399 come with the document, the
    // map window's 20400 to 20599 with its map view; the other pointer is null.
    virtual void OnCommand(int id, CDrelDoc* document, CDrelView* view) {}
    virtual void OnInitInstance(CMainFrame* frame) {}
    // Zero drops the command before any handler runs.
    virtual int IsCommandAllowed(int id) { return 1; }
    // The main frame's private messages 0x403 to 0x406 as codes 1027 to
    // 1030; the result becomes the message's result.
    virtual intptr_t OnMessage(int code, uintptr_t wParam, intptr_t lParam) { return 0; }
    virtual void Destroy(int one) {}

    // Copied by the automation transmitter objects when they are made.
    std::array<int32_t, 2> transmitterValues{};
};

// The installed extension, or null. The caller keeps ownership.
CExtensionHooks* GetExtension();
void SetExtension(CExtensionHooks* extension);

int ExtensionOnSetCursor();
void ExtensionOnLButtonDown(CDrelView* view, unsigned keyFlags, int x, int y);
void ExtensionOnMouseMove(CDrelView* view, unsigned keyFlags, int x, int y);
void ExtensionOnDraw(CDC* dc, CDrelView* view);
void ExtensionOnFrameCreate(CMainFrame* frame);
void ExtensionOnFrameClose(CMainFrame* frame);
void ExtensionOnDrawOverview(int zero);
void ExtensionOnNewDocument(CDrelDoc* document);
void ExtensionOnOpenDocument(CDrelDoc* document, const std::string& path);
void ExtensionOnSaveDocument(CDrelDoc* document, const std::string& path);
void ExtensionOnCommand(int id, CDrelDoc* document);
void ExtensionOnCommand(int id, CDrelView* view);
void ExtensionOnInitInstance(CMainFrame* frame);
// 1 while no extension is installed.
int ExtensionIsCommandAllowed(int id);
intptr_t ExtensionOnMessage(int code, uintptr_t wParam, intptr_t lParam);
// The extension is not called again afterwards.
void ExtensionDestroy(int one);
