#pragma once

// Key codes and mouse key flags with the numbers of the Windows input
// messages, which the view, its tools and the drawing interrupt compare
// against. Widget hosts translate their toolkit's keys into these.
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21, // PageUp
    VK_NEXT = 0x22,  // PageDown
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    // '0' to '9' and 'A' to 'Z' are their own codes.
    VK_NUMPAD0 = 0x60, // to VK_NUMPAD9 = 0x69
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, // to VK_F24 = 0x87
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_OEM_1 = 0xBA, // ';'
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF, // '/'
    VK_OEM_3 = 0xC0, // '`'
    VK_OEM_4 = 0xDB, // '['
    VK_OEM_5 = 0xDC, // '\'
    VK_OEM_6 = 0xDD, // ']'
    VK_OEM_7 = 0xDE, // '''
};

// Key flags of mouse messages.
enum : unsigned {
    MK_LBUTTON = 0x01,
    MK_RBUTTON = 0x02,
    MK_SHIFT = 0x04,
    MK_CONTROL = 0x08,
    MK_MBUTTON = 0x10,
};

// The key code of a Qt key (Qt::Key); keypad says whether it came from the
// numeric keypad. 0 for keys that have no code.
int VirtualKeyFromQtKey(int qtKey, bool keypad);
