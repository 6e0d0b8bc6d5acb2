#include "platform/MessageWindow.h"

#include <atomic>

namespace {
std::atomic<IMessageWindow*> g_mainWindow{nullptr};
}

IMessageWindow* GetMainMessageWindow()
{
    return g_mainWindow.load();
}

void SetMainMessageWindow(IMessageWindow* window)
{
    g_mainWindow.store(window);
}
