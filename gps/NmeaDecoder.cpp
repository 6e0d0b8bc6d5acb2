#include "gps/NmeaDecoder.h"

#include "platform/NumberText.h"

#include <cmath>

namespace {

constexpr double kKnotsToKmh = 1.852;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The line without leading white space (the line feed of the previous line
// among it, and NUL padding some receivers send), up to a line feed.
std::string_view TrimLine(std::string_view line)
{
    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t' || line[start] == '\n' ||
                                   line[start] == '\v' || line[start] == '\f' || line[start] == '\0'))
        ++start;
    line.remove_prefix(start);
    size_t lf = line.find('\n');
    if (lf != std::string_view::npos)
        line = line.substr(0, lf);
    return line;
}

// The sentence between "$" and the checksum. False when a checksum is
// there and does not match.
bool StripChecksum(std::string_view line, std::string_view& body)
{
    size_t star = line.find('*');
    if (star == std::string_view::npos) {
        body = line;
        return true;
    }
    std::string_view sum = line.substr(star + 1);
    while (!sum.empty() && (sum.back() == ' ' || sum.back() == '\t'))
        sum.remove_suffix(1);
    if (sum.size() != 2 || HexDigitValue(sum[0]) < 0 || HexDigitValue(sum[1]) < 0)
        return false;
    unsigned char x = 0;
    for (size_t i = 1; i < star; ++i)
        x ^= static_cast<unsigned char>(line[i]);
    body = line.substr(0, star);
    return x == HexDigitValue(sum[0]) * 16 + HexDigitValue(sum[1]);
}

// Cuts the sentence at commas into at most N fields; returns how many.
template <size_t N>
size_t SplitFields(std::string_view body, std::string_view (&fields)[N])
{
    size_t count = 0;
    size_t start = 0;
    while (count < N) {
        size_t comma = body.find(',', start);
        fields[count++] = body.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return count;
}

// A plain unsigned decimal ("4807.038", "22", ".5"); nothing else, so
// "nan", "1e9", "0x10" or blanks do not pass.
bool ParseDecimal(std::string_view field, double& value)
{
    bool digits = false, point = false;
    for (char c : field) {
        if (IsDigit(c))
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    if (!digits)
        return false;
    value = ParseDoubleC(field);
    return std::isfinite(value);
}

double DecimalOrZero(std::string_view field)
{
    double v;
    return ParseDecimal(field, v) ? v : 0.0;
}

// hhmmss.sss as the rounded hhmmss integer and the seconds of the day.
bool ParseTimeOfDay(std::string_view field, int& hhmmss, int& seconds)
{
    double t;
    if (!ParseDecimal(field, t) || t >= 240000.0)
        return false;
    int hour = static_cast<int>(t / 10000);
    int minute = static_cast<int>(t / 100) % 100;
    double second = t - hour * 10000 - minute * 100;
    // 60 is a leap second.
    if (minute > 59 || second >= 61.0)
        return false;
    hhmmss = static_cast<int>(t + 0.5);
    seconds = hour * 3600 + minute * 60 + static_cast<int>(second + 0.5);
    return true;
}

// ddmmyy of the years 2000 to 2099.
bool ParseDate(std::string_view field, int& year, int& month, int& day)
{
    if (field.size() != 6)
        return false;
    for (char c : field)
        if (!IsDigit(c))
            return false;
    day = (field[0] - '0') * 10 + (field[1] - '0');
    month = (field[2] - '0') * 10 + (field[3] - '0');
    year = 2000 + (field[4] - '0') * 10 + (field[5] - '0');
    return IsValidDate(year, month, day);
}

// ddmm.mmmm (or dddmm.mmmm) as decimal degrees, negated for the given hemisphere letter.
bool ParseCoordinate(std::string_view value, std::string_view hemisphere, char negative, double limit,
                     double& degrees)
{
    double v;
    if (!ParseDecimal(value, v))
        return false;
    double minutes = std::fmod(v, 100.0);
    if (minutes >= 60.0)
        return false;
    degrees = std::floor(v * 0.01) + minutes * (1.0 / 60.0);
    if (degrees > limit)
        return false;
    if (!hemisphere.empty() && hemisphere[0] == negative)
        degrees = -degrees;
    return true;
}

bool DecodeGga(std::string_view body, NmeaSentence& out)
{
    std::string_view f[8];
    out.kind = NmeaKind::Gga;
    if (SplitFields(body, f) < 8)
        return true;
    int seconds;
    if (!ParseTimeOfDay(f[1], out.hhmmss, seconds))
        out.hhmmss = -1;
    double sats;
    if (ParseDecimal(f[7], sats) && sats < 1000)
        out.satellites = static_cast<int>(sats);
    return true;
}

bool DecodeRmc(std::string_view body, NmeaSentence& out)
{
    std::string_view f[12];
    if (SplitFields(body, f) < 12)
        return false;
    out.kind = NmeaKind::Rmc;
    int seconds = 0;
    bool haveTime = ParseTimeOfDay(f[1], out.hhmmss, seconds);
    if (!haveTime)
        out.hhmmss = -1;
    int year, month, day;
    if (haveTime && ParseDate(f[9], year, month, day))
        out.time = MakeUtcTime(year, month, day, 0, 0, seconds);
    double lat, lon;
    out.hasPosition =
        ParseCoordinate(f[3], f[4], 'S', 90.0, lat) && ParseCoordinate(f[5], f[6], 'W', 180.0, lon);
    if (out.hasPosition) {
        out.latitude = lat;
        out.longitude = lon;
    }
    out.valid = !f[2].empty() && f[2][0] == 'A';
    out.speed = DecimalOrZero(f[7]) * kKnotsToKmh;
    out.course = DecimalOrZero(f[8]);
    return true;
}

} // namespace

bool DecodeNmeaSentence(std::string_view line, NmeaSentence& out)
{
    out = NmeaSentence();
    line = TrimLine(line);
    if (line.size() > kMaxNmeaLine || line.find('\0') != std::string_view::npos)
        return false;
    bool gga = line.substr(0, 6) == "$GPGGA";
    if (!gga && line.substr(0, 6) != "$GPRMC")
        return false;
    std::string_view body;
    if (!StripChecksum(line, body))
        return false;
    return gga ? DecodeGga(body, out) : DecodeRmc(body, out);
}

void ApplyNmeaSentence(const NmeaSentence& s, GpsFix& fix)
{
    if (s.kind == NmeaKind::Gga) {
        fix.ggaTime = s.hhmmss;
        fix.satellites = s.satellites;
        return;
    }
    if (s.kind != NmeaKind::Rmc)
        return;
    if (s.hasPosition) {
        fix.longitude = s.longitude;
        fix.latitude = s.latitude;
    }
    fix.time = s.time;
    fix.speed = s.speed;
    fix.course = s.course;
    fix.valid = s.valid ? 1 : 0;
    if (s.hhmmss < 0 || s.hhmmss != fix.ggaTime) {
        fix.ggaTime = -1;
        fix.satellites = -1;
    }
}
