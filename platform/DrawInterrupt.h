#pragma once

#include <functional>

// Stopping a map drawing pass on user input. The pass asks
// CheckDrawInterrupt between layers of its label pass, the layer painters
// every so many objects; the window that draws installs the queue of its
// waiting input for the length of the pass. All on the user-interface thread.

// One waiting input that can stop the drawing.
struct CWaitingInput {
    enum Kind { kKeyDown, kRightButtonDown };
    Kind kind = kKeyDown;
    int key = 0; // virtual key of a key down
};

enum class WaitingInputAction {
    kRemove, // taken from the queue: it never reaches its window
    kKeep,   // left for its window, after the drawing
};

class IDrawInputQueue {
public:
    virtual ~IDrawInputQueue() = default;
    // Lets waiting window events through. Each key down and right button
    // press addressed to the drawing's main window that arrived since the
    // last call goes to judge, in order of arrival; other input to that
    // window waits until the drawing is over.
    virtual void Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge) = 0;
};

// The queue the check looks at; null (the default) has no input waiting.
// Returns the queue installed before.
IDrawInputQueue* SetDrawInputQueue(IDrawInputQueue* queue);

// 1 when the drawing must stop: the stop flag is set, or waiting input
// sets it. Esc is removed and stops; PageUp, PageDown, End, Home and the
// keypad's '+' and '-' stop and stay queued, to act after the drawing;
// other key downs are removed and forgotten; a right button press is
// removed, stops and sets the right-click flag.
int CheckDrawInterrupt();

// Set by the check, cleared at the start of every screen drawing pass.
int GetDrawStopFlag();
void SetDrawStopFlag(int stop);
// Set when the check took a right button press: the next context menu
// request of a map view clears it and shows no menu.
int GetRightClickFlag();
void SetRightClickFlag(int flag);
