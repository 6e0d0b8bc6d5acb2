#include "platform/Font.h"

#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/QtText.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr const char* kSans = "Liberation Sans";
constexpr const char* kSerif = "Liberation Serif";
constexpr const char* kMono = "Liberation Mono";
constexpr int kMaxPixels = 1 << 15;

struct Substitute {
    const char* face;
    const char* family;
};

// Windows faces the maps and styles name, and the metric-compatible faces
// installed in their place.
const Substitute kSubstitutes[] = {
    {"Arial", kSans},
    {"Times New Roman", kSerif},
    {"Courier New", kMono},
    {"MS Sans Serif", kSans},
};

std::string FaceOf(const LOGFONT& lf)
{
    return std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
}

const char* FamilyFor(std::uint8_t pitchAndFamily)
{
    if ((pitchAndFamily & 0xF0) == FF_ROMAN)
        return kSerif;
    if ((pitchAndFamily & 0xF0) == FF_MODERN || (pitchAndFamily & 0x03) == FIXED_PITCH)
        return kMono;
    return kSans;
}

} // namespace

bool CFont::CreateFontIndirect(const LOGFONT& logFont)
{
    auto data = std::make_shared<LOGFONT>(logFont);
    // The face ends within its 32 bytes.
    data->lfFaceName[LF_FACESIZE - 1] = '\0';
    m_data = std::move(data);
    return true;
}

bool CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, std::uint8_t italic,
                       std::uint8_t underline, std::uint8_t strikeOut, std::uint8_t charSet,
                       std::uint8_t outPrecision, std::uint8_t clipPrecision, std::uint8_t quality,
                       std::uint8_t pitchAndFamily, const char* faceName)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName)
        std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(lf);
}

bool CFont::CreatePointFont(int pointSize, const char* faceName, const CDC* dc)
{
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
    CSize size(0, MulDiv(dpiY, pointSize, 720));
    if (dc)
        dc->DPtoLP(&size);
    LOGFONT lf;
    lf.lfHeight = -std::abs(size.cy);
    if (faceName)
        std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(lf);
}

bool CFont::GetLogFont(LOGFONT* logFont) const
{
    if (!m_data || !logFont)
        return false;
    *logFont = *m_data;
    return true;
}

const LOGFONT& CFont::LogFont() const
{
    static const LOGFONT kNone;
    return m_data ? *m_data : kNone;
}

std::string CFont::SubstituteFace(std::string_view faceName, std::uint8_t pitchAndFamily)
{
    std::string_view face = faceName.substr(0, faceName.find('\0'));
    while (!face.empty() && face.back() == ' ')
        face.remove_suffix(1);
    // "Arial Baltic" and the like name the Baltic character set of a face.
    constexpr std::string_view kBaltic = " Baltic";
    if (face.size() > kBaltic.size() && EqualsNoCase1257(face.substr(face.size() - kBaltic.size()), kBaltic))
        face.remove_suffix(kBaltic.size());
    if (face.empty())
        return FamilyFor(pitchAndFamily);
    for (const Substitute& s : kSubstitutes)
        if (EqualsNoCase1257(face, s.face))
            return s.family;
    return std::string(face);
}

bool CFont::IsFaceInstalled(std::string_view faceName)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const std::string family = SubstituteFace(faceName);
    return !faceName.substr(0, faceName.find('\0')).empty() && QFontDatabase::hasFamily(ToQString(family));
}

QFont CFont::Realize(int deviceHeight, int dpiY) const
{
    const LOGFONT& lf = LogFont();
    QFont font;
    const std::string family = SubstituteFace(FaceOf(lf), lf.lfPitchAndFamily);
    font.setFamilies({ToQString(family), QString::fromLatin1(FamilyFor(lf.lfPitchAndFamily))});
    const int weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    // Text widths are the sums of the glyph advances, without kerning.
    font.setKerning(false);
    if (lf.lfQuality == NONANTIALIASED_QUALITY)
        font.setStyleStrategy(QFont::NoAntialias);

    double em;
    if (deviceHeight < 0) {
        em = -static_cast<double>(deviceHeight);
    } else if (deviceHeight == 0) {
        em = 12.0 * std::max(1, dpiY) / 72.0;
    } else {
        // The cell is ascent plus descent: find the size whose cell fits.
        constexpr int kReference = 256;
        font.setPixelSize(kReference);
        const QFontMetricsF metrics(font);
        const double cell = metrics.ascent() + metrics.descent();
        em = cell > 0 ? deviceHeight * kReference / cell : deviceHeight;
    }
    font.setPixelSize(static_cast<int>(std::clamp(std::floor(em + 0.5), 1.0, double(kMaxPixels))));
    return font;
}
