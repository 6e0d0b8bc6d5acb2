#pragma once

#include "platform/Rect.h"

#include <functional>
#include <vector>

// What the program's own message box shows for a message-box type
// (platform/UserServices.h) and where, laid out from the metrics of the
// dialog font, so that it answers as the system's box would with
// Lithuanian labels.

// The button identifiers of the row, left to right; Help comes last with MB_HELP.
std::vector<int> GetMessageBoxButtons(unsigned type);
// UTF-8, '&' before the mnemonic; "???" for an identifier of no button.
const char* GetMessageBoxButtonLabel(int id);
// The system icon: 32513 hand, 32514 question, 32515 exclamation,
// 32516 asterisk; 0 for none.
int GetMessageBoxIcon(unsigned type);
// The place in the row (from 0) of the default button; the first when the
// type names a place past the row's end.
int GetMessageBoxDefaultButton(unsigned type);
// What Escape and the close box answer: the box's Cancel, else its No (a
// question answered by Escape must not read as Yes), else the button of a
// one-button box; 0 when the box offers none of them (Abort, Retry,
// Ignore), which then stays open.
int GetMessageBoxEscapeResult(unsigned type);

struct MessageBoxMetrics {
    int charWidth = 0;  // the font's average character width, W
    int charHeight = 0; // its height, H
    int workAreaWidth = 0;
    CSize nonClient; // window less client area
    CSize icon;      // 0 by 0 without an icon
    // The client width the title bar needs to show the caption whole.
    int captionWidth = 0;
};

struct MessageBoxLayout {
    CRect icon; // empty without an icon
    CRect text;
    std::vector<CRect> buttons;
    CSize client;
};

// measureText(maxWidth): the size of the text broken into lines within
// maxWidth, a word wider than that broken inside it.
MessageBoxLayout LayOutMessageBox(const MessageBoxMetrics& metrics, int buttonCount,
                                  const std::function<CSize(int maxWidth)>& measureText);
