#include "shell/CharListLayout.h"

#include "platform/DC.h"

#include <algorithm>
#include <cstring>

LOGFONT CharListFont(std::string_view face)
{
    LOGFONT font;
    font.lfHeight = kCharListFontHeight;
    font.lfCharSet = DEFAULT_CHARSET;
    const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::memcpy(font.lfFaceName, face.data(), length);
    return font;
}

CharListCell CharListCellSize(int textHeight, int widestCharacter)
{
    const int itemHeight = textHeight + 4;
    return {itemHeight, std::min(itemHeight * 5 / 4, widestCharacter + 4)};
}

CharListCell MeasureCharListCell(CDC& dc, const CFont& font)
{
    const int saved = dc.SaveDC();
    dc.SelectObject(font);
    TEXTMETRIC metrics;
    dc.GetTextMetrics(&metrics);
    int widest = 0;
    for (int code = kCharListFirstCode; code <= kCharListLastCode; ++code)
        widest = std::max(widest, static_cast<int>(dc.GetTextExtent(std::string(1, static_cast<char>(code))).cx));
    dc.RestoreDC(saved);
    return CharListCellSize(metrics.tmHeight, widest);
}
