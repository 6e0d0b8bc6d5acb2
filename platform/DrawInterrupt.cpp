#include "platform/DrawInterrupt.h"

#include "platform/VirtualKeys.h"

namespace {

IDrawInputQueue* g_queue = nullptr;
int g_stop = 0;
int g_rightClick = 0;

bool IsKeyActedOnAfterDrawing(int key)
{
    return (key >= VK_PRIOR && key <= VK_HOME) || key == VK_ADD || key == VK_SUBTRACT;
}

} // namespace

IDrawInputQueue* SetDrawInputQueue(IDrawInputQueue* queue)
{
    IDrawInputQueue* previous = g_queue;
    g_queue = queue;
    return previous;
}

int CheckDrawInterrupt()
{
    if (g_stop)
        return 1;
    if (!g_queue)
        return 0;
    g_queue->Poll([](const CWaitingInput& input) {
        // Once stopped, what is left waits for after the drawing.
        if (g_stop)
            return WaitingInputAction::kKeep;
        if (input.kind == CWaitingInput::kRightButtonDown) {
            g_rightClick = 1;
            g_stop = 1;
            return WaitingInputAction::kRemove;
        }
        if (input.key == VK_ESCAPE) {
            g_stop = 1;
            return WaitingInputAction::kRemove;
        }
        if (IsKeyActedOnAfterDrawing(input.key)) {
            g_stop = 1;
            return WaitingInputAction::kKeep;
        }
        return WaitingInputAction::kRemove;
    });
    return g_stop;
}

int GetDrawStopFlag()
{
    return g_stop;
}

void SetDrawStopFlag(int stop)
{
    g_stop = stop;
}

int GetRightClickFlag()
{
    return g_rightClick;
}

void SetRightClickFlag(int flag)
{
    g_rightClick = flag;
}
