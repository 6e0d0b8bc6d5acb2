#include "core/LatLonText.h"

#include "core/MapPoint.h"
#include "platform/NumberText.h"

#include <cmath>
#include <cstdint>

namespace {

// Degrees, minutes and the rest of one rounded value.
struct DegreeParts {
    int degrees = 0;
    int minutes = 0;
    int seconds = 0;
    int fraction = 0; // tenths or hundredths of a second, or 1/10000 minute
};

// The smallest unit of a form: tenths of a second, hundredths of a second,
// or ten-thousandths of a minute (no seconds).
struct Unit {
    double perDegree;
    int perMinute;
    int perSecond;
};

Unit UnitOfForm(int form)
{
    switch (form) {
    case 3:
    case 8:
        return {360000, 6000, 100};
    case 5:
    case 6:
    case 9:
        return {600000, 10000, 0};
    default:
        return {36000, 600, 10};
    }
}

// Rounded once to the form's unit, half up, then split.
DegreeParts SplitDegrees(double value, int form)
{
    const Unit unit = UnitOfForm(form);
    const auto count = static_cast<int64_t>(value * unit.perDegree + 0.5);
    int64_t minutes = count / unit.perMinute;
    const int rest = static_cast<int>(count % unit.perMinute);
    DegreeParts parts;
    if (unit.perSecond == 0) {
        parts.fraction = rest;
    } else if (form == 1 || form == 7) {
        // Whole seconds: 59.5 shows as the next minute.
        parts.seconds = (rest + unit.perSecond / 2) / unit.perSecond;
        if (parts.seconds == 60) {
            parts.seconds = 0;
            ++minutes;
        }
    } else {
        parts.seconds = rest / unit.perSecond;
        parts.fraction = rest % unit.perSecond;
    }
    parts.degrees = static_cast<int>(minutes / 60);
    parts.minutes = static_cast<int>(minutes % 60);
    return parts;
}

// value is the absolute angle, at most 180; the form is known.
bool FormatAngle(double value, char letter, bool longitude, bool negative, int form, std::string& text)
{
    const DegreeParts p = SplitDegrees(value, form);
    const int d = p.degrees;
    const int m = p.minutes;
    const int s = p.seconds;
    const int f = p.fraction;
    const int signedD = negative ? -d : d;
    switch (form) {
    case 0:
        text = longitude ? FormatC("%c%03d\xB0%02d'%02d.%1d\"", letter, d, m, s, f)
                         : FormatC("%c%02d\xB0%02d'%02d.%1d\"", letter, d, m, s, f);
        break;
    case 1:
        text = longitude ? FormatC("%03d%c%02d%02d", d, letter, m, s) : FormatC("%02d%c%02d%02d", d, letter, m, s);
        break;
    case 2:
        text = longitude ? FormatC("%03d%c%02d%02d.%1d", d, letter, m, s, f)
                         : FormatC("%02d%c%02d%02d.%1d", d, letter, m, s, f);
        break;
    case 3:
        text = longitude ? FormatC("%03d%c%02d%02d.%02d", d, letter, m, s, f)
                         : FormatC("%02d%c%02d%02d.%02d", d, letter, m, s, f);
        break;
    case 4:
        text = longitude ? FormatC("%c%03d\xB0%02d'%02d.%1d", letter, d, m, s, f)
                         : FormatC("%c%02d\xB0%02d'%02d.%1d", letter, d, m, s, f);
        break;
    case 5: {
        if (f == 0) {
            text = longitude ? FormatC("%c%03d\xB0%02d.0", letter, d, m) : FormatC("%c%02d\xB0%02d.0", letter, d, m);
            break;
        }
        int digits = 4;
        int fraction = f;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        text = longitude ? FormatC("%c%03d\xB0%02d.%0*d", letter, d, m, digits, fraction)
                         : FormatC("%c%02d\xB0%02d.%0*d", letter, d, m, digits, fraction);
        break;
    }
    case 6:
        if (f == 0)
            text = longitude ? FormatC("%03d%c%02d", d, letter, m) : FormatC("%02d%c%02d", d, letter, m);
        else
            text = longitude ? FormatC("%03d%c%02d.%04d", d, letter, m, f)
                             : FormatC("%02d%c%02d.%04d", d, letter, m, f);
        break;
    case 7:
        text = FormatC("%c%03d\xB0%02d'%02d\"", letter, d, m, s);
        break;
    case 8:
        text = longitude ? FormatC("%c%03d\xB0%02d'%02d.%02d\"", letter, signedD, m, s, f)
                         : FormatC("%c%d\xB0%02d'%02d.%02d\"", letter, signedD, m, s, f);
        break;
    case 9:
        text = longitude ? FormatC("%c%03d\xB0%02d.%04d'", letter, signedD, m, f)
                         : FormatC("%c%02d\xB0%02d.%04d'", letter, signedD, m, f);
        break;
    }
    return true;
}

// The range test covers both coordinates whichever text is asked for;
// written this way round, NaN counts as out of range.
bool FormatCoordinateText(double longitude, double latitude, bool ofLongitude, int form, std::string& text)
{
    if (form < 0 || form >= kLatLonFormCount)
        return false;
    if (!(std::fabs(latitude) <= 90 && std::fabs(longitude) <= 360)) {
        text.clear();
        return true;
    }
    if (!ofLongitude) {
        const char letter = latitude >= 0 ? 'N' : 'S';
        return FormatAngle(std::fabs(latitude), letter, false, letter == 'S', form, text);
    }
    char letter = longitude >= 0 ? 'E' : 'W';
    double value = std::fabs(longitude);
    if (value > 180) {
        value = 360 - value;
        letter = letter == 'E' ? 'W' : 'E';
    }
    return FormatAngle(value, letter, true, letter == 'W', form, text);
}

} // namespace

bool FormatLongitudeText(double longitude, double latitude, int form, std::string& text)
{
    return FormatCoordinateText(longitude, latitude, true, form, text);
}

bool FormatLatitudeText(double longitude, double latitude, int form, std::string& text)
{
    return FormatCoordinateText(longitude, latitude, false, form, text);
}

std::string& CMapPoint::FormatLongitude(std::string& text, int form) const
{
    FormatLongitudeText(x, y, form, text);
    return text;
}

std::string& CMapPoint::FormatLatitude(std::string& text, int form) const
{
    FormatLatitudeText(x, y, form, text);
    return text;
}

std::string& CMapPoint::FormatLonLat(std::string& lonText, std::string& latText, int form) const
{
    FormatLongitude(lonText, form);
    return FormatLatitude(latText, form);
}

std::string CMapPoint::FormatLongitude(int form) const
{
    std::string text;
    return FormatLongitude(text, form);
}

std::string CMapPoint::FormatLatitude(int form) const
{
    std::string text;
    return FormatLatitude(text, form);
}

namespace {

// A minute or second: digits, unsigned; the characters read, 0 for none.
size_t ReadUnsignedPart(std::string_view text, double& part)
{
    if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '.'))
        return 0;
    size_t used = 0;
    part = ParseDoubleC(text, &used);
    return used;
}

} // namespace

bool ParseDegreesText(std::string_view text, char positiveLetter, char negativeLetter, double& value)
{
    bool negative = false;
    if (!text.empty() && (text[0] == positiveLetter || text[0] == negativeLetter)) {
        negative = text[0] == negativeLetter;
        text.remove_prefix(1);
    }
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = negative || text[0] == '-';
        text.remove_prefix(1);
    }
    // A second sign, or a blank, is no number.
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ' || text[0] == '\t')
        return false;
    size_t used = 0;
    const double degrees = ParseDoubleC(text, &used);
    if (used == 0)
        return false;
    double result = std::fabs(degrees);
    double divisor = 1;
    for (int part = 0; part < 2; ++part) {
        // The one character that follows the number, whatever it is.
        if (used >= text.size())
            break;
        text.remove_prefix(used + 1);
        double number = 0;
        used = ReadUnsignedPart(text, number);
        if (used == 0)
            break;
        divisor *= 60;
        result += number / divisor;
    }
    value = negative ? -result : result;
    return true;
}
