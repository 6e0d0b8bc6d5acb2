#include "shell/MessageBoxLayout.h"

#include "platform/Gdi.h"
#include "platform/UserServices.h"

#include <algorithm>

namespace {

constexpr int kIconHand = 32513, kIconQuestion = 32514, kIconExclamation = 32515, kIconAsterisk = 32516;

// The caller's icon bit names no icon of ours.
unsigned Style(unsigned type)
{
    return type & ~static_cast<unsigned>(MB_USERICON);
}

} // namespace

std::vector<int> GetMessageBoxButtons(unsigned type)
{
    std::vector<int> buttons;
    switch (Style(type) & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {IDOK, IDCANCEL};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {IDABORT, IDRETRY, IDIGNORE};
        break;
    case MB_YESNOCANCEL:
        buttons = {IDYES, IDNO, IDCANCEL};
        break;
    case MB_YESNO:
        buttons = {IDYES, IDNO};
        break;
    case MB_RETRYCANCEL:
        buttons = {IDRETRY, IDCANCEL};
        break;
    default:
        buttons = {IDOK};
        break;
    }
    if (type & MB_HELP)
        buttons.push_back(IDHELP);
    return buttons;
}

const char* GetMessageBoxButtonLabel(int id)
{
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Atsisakyti";
    case IDABORT:
        return "&Nutraukti";
    case IDRETRY:
        return "&Kartoti";
    case IDIGNORE:
        return "Nepa&isyti";
    case IDYES:
        return "&Taip";
    case IDNO:
        return "&Ne";
    case IDCLOSE:
        return "&Uždaryti";
    case IDHELP:
        return "&Pagalba";
    default:
        return "???";
    }
}

int GetMessageBoxIcon(unsigned type)
{
    switch (Style(type) & MB_ICONMASK) {
    case MB_ICONERROR:
        return kIconHand;
    case MB_ICONQUESTION:
        return kIconQuestion;
    case MB_ICONWARNING:
        return kIconExclamation;
    case MB_ICONINFORMATION:
        return kIconAsterisk;
    default:
        return 0;
    }
}

int GetMessageBoxDefaultButton(unsigned type)
{
    const int place = static_cast<int>((type & MB_DEFMASK) >> 8);
    return place < static_cast<int>(GetMessageBoxButtons(type).size()) ? place : 0;
}

int GetMessageBoxEscapeResult(unsigned type)
{
    const std::vector<int> buttons = GetMessageBoxButtons(type & ~static_cast<unsigned>(MB_HELP));
    for (const int answer : {IDCANCEL, IDNO})
        if (std::find(buttons.begin(), buttons.end(), answer) != buttons.end())
            return answer;
    return buttons.size() == 1 ? buttons.front() : 0;
}

MessageBoxLayout LayOutMessageBox(const MessageBoxMetrics& m, int buttonCount,
                                  const std::function<CSize(int maxWidth)>& measureText)
{
    const int w = m.charWidth, h = m.charHeight;
    const int marginX = MulDiv(7, w, 4), marginY = MulDiv(7, h, 8), iconGap = MulDiv(10, w, 4);
    const bool withIcon = m.icon.cx > 0 && m.icon.cy > 0;

    MessageBoxLayout layout;
    int maxTextWidth = (m.workAreaWidth / 8) * 5 - 2 * marginX - m.nonClient.cx;
    if (withIcon) {
        layout.icon = CRect(CPoint(marginX, marginY), m.icon);
        maxTextWidth -= m.icon.cx + iconGap;
    }
    // A work area too narrow for the margins still lets a letter a line through.
    const CSize text = measureText(std::max(maxTextWidth, 1));

    const int textX = withIcon ? marginX + m.icon.cx + iconGap : marginX;
    int textY = marginY, contentHeight = text.cy + marginY;
    if (withIcon && m.icon.cy > text.cy) {
        textY = marginY + (m.icon.cy - text.cy) / 2;
        contentHeight = m.icon.cy + marginY;
    }
    layout.text = CRect(CPoint(textX, textY), text);

    const int buttonWidth = MulDiv(50, w, 4), buttonHeight = MulDiv(14, h, 8), gap = MulDiv(4, w, 4);
    const int rowTop = contentHeight + MulDiv(10, h, 8);
    const int rowWidth = buttonCount * buttonWidth + std::max(buttonCount - 1, 0) * gap;
    // A narrow box grows for its caption rather than cut it.
    const int clientWidth = std::max({textX + text.cx + marginX, rowWidth + 2 * marginX, m.captionWidth});
    int x = (clientWidth - rowWidth) / 2;
    for (int i = 0; i < buttonCount; ++i, x += buttonWidth + gap)
        layout.buttons.emplace_back(x, rowTop, x + buttonWidth, rowTop + buttonHeight);
    layout.client = CSize(clientWidth, rowTop + buttonHeight + marginY);
    return layout;
}
