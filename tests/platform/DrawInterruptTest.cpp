#include "platform/DrawInterrupt.h"

#include "platform/VirtualKeys.h"
#include "tests/support/ScriptedInputQueue.h"

#include <QtCore/qnamespace.h>

#include <gtest/gtest.h>
#include <vector>

namespace {

CWaitingInput Key(int key)
{
    return {CWaitingInput::kKeyDown, key};
}

const CWaitingInput kRightButton{CWaitingInput::kRightButtonDown, 0};

} // namespace

TEST(DrawInterrupt, WaitingInputStopsTheDrawingAsItsKindSays)
{
    struct Case {
        std::vector<CWaitingInput> waiting;
        int stops;
        std::vector<int> kept;
        std::vector<int> removed;
        int rightClick;
    };
    const Case cases[] = {
        {{}, 0, {}, {}, 0},
        {{Key(VK_ESCAPE)}, 1, {}, {VK_ESCAPE}, 0},
        {{Key('A'), Key(VK_SPACE)}, 0, {}, {'A', VK_SPACE}, 0}, // forgotten, the drawing goes on
        {{Key(VK_PRIOR)}, 1, {VK_PRIOR}, {}, 0},
        {{Key(VK_NEXT)}, 1, {VK_NEXT}, {}, 0},
        {{Key(VK_END)}, 1, {VK_END}, {}, 0},
        {{Key(VK_HOME)}, 1, {VK_HOME}, {}, 0},
        {{Key(VK_ADD)}, 1, {VK_ADD}, {}, 0},
        {{Key(VK_SUBTRACT)}, 1, {VK_SUBTRACT}, {}, 0},
        {{Key(VK_OEM_PLUS)}, 0, {}, {VK_OEM_PLUS}, 0}, // '+' of the main keyboard
        {{kRightButton}, 1, {}, {0}, 1},
        // Once stopped, the rest waits for after the drawing.
        {{Key('B'), Key(VK_ESCAPE), Key('C'), kRightButton}, 1, {'C', 0}, {'B', VK_ESCAPE}, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SetDrawStopFlag(0);
        SetRightClickFlag(0);
        CScriptedInputQueue queue;
        queue.waiting.assign(c.waiting.begin(), c.waiting.end());
        EXPECT_EQ(CheckDrawInterrupt(), c.stops) << "case " << i;
        EXPECT_EQ(GetDrawStopFlag(), c.stops) << "case " << i;
        EXPECT_EQ(queue.kept, c.kept) << "case " << i;
        EXPECT_EQ(queue.removed, c.removed) << "case " << i;
        EXPECT_EQ(GetRightClickFlag(), c.rightClick) << "case " << i;
    }
    SetRightClickFlag(0);
}

TEST(DrawInterrupt, SetStopFlagAnswersWithoutLookingAtTheQueue)
{
    CScriptedInputQueue queue;
    SetDrawStopFlag(1);
    EXPECT_EQ(CheckDrawInterrupt(), 1);
    EXPECT_EQ(queue.polls, 0);
    SetDrawStopFlag(0);
    EXPECT_EQ(CheckDrawInterrupt(), 0);
    EXPECT_EQ(queue.polls, 1);
}

TEST(DrawInterrupt, WithoutAQueueNothingWaits)
{
    SetDrawStopFlag(0);
    EXPECT_EQ(CheckDrawInterrupt(), 0);
}

TEST(VirtualKeys, QtKeysBecomeTheirCodes)
{
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_PageUp, false), VK_PRIOR);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_PageDown, true), VK_NEXT); // the keypad's own
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Plus, true), VK_ADD);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Plus, false), VK_OEM_PLUS);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Minus, true), VK_SUBTRACT);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_7, true), VK_NUMPAD0 + 7);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_7, false), '7');
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Q, false), 'Q');
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F5, false), VK_F1 + 4);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Escape, false), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_VolumeUp, false), 0);
}
