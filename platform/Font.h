#pragma once

#include "platform/Gdi.h"

#include <memory>
#include <string>
#include <string_view>

class CDC;
class QFont;

// A font as a small shared value (see CPen), made from a LOGFONT. The face
// goes through a substitution table to the fonts the system ships (the
// Windows faces and their " Baltic" names to the Liberation faces); a face
// that is not installed draws in the sans face. Width, orientation and the
// precision fields are kept but not used.
class CFont {
public:
    CFont() = default;
    explicit CFont(const LOGFONT& logFont) { CreateFontIndirect(logFont); }

    bool CreateFontIndirect(const LOGFONT& logFont);
    bool CreateFont(int height, int width, int escapement, int orientation, int weight, std::uint8_t italic,
                    std::uint8_t underline, std::uint8_t strikeOut, std::uint8_t charSet, std::uint8_t outPrecision,
                    std::uint8_t clipPrecision, std::uint8_t quality, std::uint8_t pitchAndFamily,
                    const char* faceName);
    // A size in tenths of a point, made a character height in dc's logical
    // units (a 96-dpi screen without a DC).
    bool CreatePointFont(int pointSize, const char* faceName, const CDC* dc = nullptr);
    void DeleteObject() { m_data.reset(); }

    const void* GetSafeHandle() const { return m_data.get(); }
    bool operator==(const CFont& other) const { return m_data == other.m_data; }
    bool GetLogFont(LOGFONT* logFont) const;
    // The LOGFONT it was made from (zeros when not created).
    const LOGFONT& LogFont() const;

    // The family a face name (code page 1257) draws in.
    static std::string SubstituteFace(std::string_view faceName, std::uint8_t pitchAndFamily = 0);
    // True when the face, or the face put in its place, is installed, so
    // text in it does not fall back to the sans face. Needs a GUI
    // application: without one no face is installed.
    static bool IsFaceInstalled(std::string_view faceName);
    // For the DC: this font with a height of deviceHeight device pixels,
    // negative for the character height and positive for the cell height
    // as in a LOGFONT; 0 is 12 points at dpiY. Needs a GUI application.
    QFont Realize(int deviceHeight, int dpiY) const;

private:
    std::shared_ptr<const LOGFONT> m_data;
};
