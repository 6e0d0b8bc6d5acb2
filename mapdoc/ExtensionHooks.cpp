#include "mapdoc/ExtensionHooks.h"

namespace {
CExtensionHooks* g_extension = nullptr;
}

CExtensionHooks* GetExtension()
{
    return g_extension;
}

void SetExtension(CExtensionHooks* extension)
{
    g_extension = extension;
}

int ExtensionOnSetCursor()
{
    return g_extension ? g_extension->OnSetCursor() : 0;
}

void ExtensionOnLButtonDown(CDrelView* view, unsigned keyFlags, int x, int y)
{
    if (g_extension)
        g_extension->OnLButtonDown(view, keyFlags, x, y);
}

void ExtensionOnMouseMove(CDrelView* view, unsigned keyFlags, int x, int y)
{
    if (g_extension)
        g_extension->OnMouseMove(view, keyFlags, x, y);
}

void ExtensionOnDraw(CDC* dc, CDrelView* view)
{
    if (g_extension)
        g_extension->OnDraw(dc, view);
}

void ExtensionOnFrameCreate(CMainFrame* frame)
{
    if (g_extension)
        g_extension->OnFrameCreate(frame);
}

void ExtensionOnFrameClose(CMainFrame* frame)
{
    if (g_extension)
        g_extension->OnFrameClose(frame);
}

void ExtensionOnDrawOverview(int zero)
{
    if (g_extension)
        g_extension->OnDrawOverview(zero);
}

void ExtensionOnNewDocument(CDrelDoc* document)
{
    if (g_extension)
        g_extension->OnNewDocument(document);
}

void ExtensionOnOpenDocument(CDrelDoc* document, const std::string& path)
{
    if (g_extension)
        g_extension->OnOpenDocument(document, path);
}

void ExtensionOnSaveDocument(CDrelDoc* document, const std::string& path)
{
    if (g_extension)
        g_extension->OnSaveDocument(document, path);
}

void ExtensionOnCommand(int id, CDrelDoc* document)
{
    if (g_extension)
        g_extension->OnCommand(id, document, nullptr);
}

void ExtensionOnCommand(int id, CDrelView* view)
{
    if (g_extension)
        g_extension->OnCommand(id, nullptr, view);
}

void ExtensionOnInitInstance(CMainFrame* frame)
{
    if (g_extension)
        g_extension->OnInitInstance(frame);
}

int ExtensionIsCommandAllowed(int id)
{
    return g_extension ? g_extension->IsCommandAllowed(id) : 1;
}

intptr_t ExtensionOnMessage(int code, uintptr_t wParam, intptr_t lParam)
{
    return g_extension ? g_extension->OnMessage(code, wParam, lParam) : 0;
}

void ExtensionDestroy(int one)
{
    CExtensionHooks* extension = g_extension;
    g_extension = nullptr;
    if (extension)
        extension->Destroy(one);
}
