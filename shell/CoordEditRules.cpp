#include "shell/CoordEditRules.h"

#include "core/LatLonText.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char kDegreeSign = '\xB0';
// Parts read larger than this are taken as this; nothing typed comes near.
constexpr int kLargestPart = 999999;
constexpr double kLargestFraction = 1e9;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

void SkipBlanks(std::string_view text, size_t& at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
}

// Digits as a whole number; false when none stand there.
bool ReadWhole(std::string_view text, size_t& at, int& value)
{
    SkipBlanks(text, at);
    if (at >= text.size() || !IsDigit(text[at]))
        return false;
    value = 0;
    while (at < text.size() && IsDigit(text[at]))
        value = std::min(value * 10 + (text[at++] - '0'), kLargestPart);
    return true;
}

// Digits with an optional decimal point; false when no digit stands there.
bool ReadDecimal(std::string_view text, size_t& at, double& value)
{
    SkipBlanks(text, at);
    const size_t from = at;
    bool digits = false;
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
        digits = true;
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && IsDigit(text[at])) {
            ++at;
            digits = true;
        }
    }
    if (!digits) {
        at = from;
        return false;
    }
    const double read = ParseDoubleC(text.substr(from, at - from));
    value = std::isfinite(read) ? std::min(read, kLargestFraction) : kLargestFraction;
    return true;
}

bool Expect(std::string_view text, size_t& at, char c)
{
    if (at < text.size() && text[at] == c) {
        ++at;
        return true;
    }
    return false;
}

} // namespace

int CCoordEditRules::GetSectionStart(int section) const
{
    const bool latitude = m_mode == kLatitude;
    switch (section) {
    case 0: return 0;
    case 1: return 1;
    case 2: return latitude ? 4 : 5;
    default: return latitude ? 7 : 8;
    }
}

void CCoordEditRules::GetSectionRange(int section, int length, int& start, int& end) const
{
    section = std::clamp(section, 0, GetLastSection());
    start = std::min(GetSectionStart(section), length);
    if (section == 0)
        end = std::min(1, length);
    else
        end = section == GetLastSection() ? length : std::min(GetSectionStart(section + 1) - 1, length);
    end = std::max(end, start);
}

int CCoordEditRules::SectionAt(int position) const
{
    int section = 0;
    for (int n = 1; n <= GetLastSection(); ++n)
        if (position >= GetSectionStart(n))
            section = n;
    return section;
}

std::string CCoordEditRules::SetValue(int mode, double value)
{
    m_mode = mode == kLatitude ? kLatitude : mode == kLongitude ? kLongitude : kModeNotSet;
    return FormatValue(value);
}

std::string CCoordEditRules::FormatValue(double value) const
{
    if (m_mode == kModeNotSet)
        return {};
    const int form = m_withSeconds ? 4 : 5;
    std::string text;
    if (m_mode == kLongitude)
        FormatLongitudeText(value, 0, form, text);
    else
        FormatLatitudeText(0, value, form, text);
    if (m_withSeconds && !text.empty())
        text += '"';
    return text;
}

double CCoordEditRules::Parse(std::string_view text)
{
    m_letter = 0;
    m_degrees = m_minutes = 0;
    m_last = 0;
    if (text.empty())
        return 0;
    m_letter = text[0];
    size_t at = 1;
    if (ReadWhole(text, at, m_degrees) && Expect(text, at, kDegreeSign)) {
        if (!m_withSeconds)
            ReadDecimal(text, at, m_last);
        else if (ReadWhole(text, at, m_minutes) && Expect(text, at, '\''))
            ReadDecimal(text, at, m_last);
    }
    double value = m_withSeconds ? m_degrees + m_minutes / 60.0 + m_last / 3600.0 : m_degrees + m_last / 60.0;
    value = std::min(value, static_cast<double>(GetMaxDegrees()));
    const bool negative = m_letter == 'W' || m_letter == 'S' || m_letter == 'w' || m_letter == 's';
    return negative ? -value : value;
}

char CCoordEditRules::Letter(bool negative) const
{
    if (m_mode == kLatitude)
        return negative ? 'S' : 'N';
    return negative ? 'W' : 'E';
}

bool CCoordEditRules::IsWellFormed(const std::string& text) const
{
    const auto length = static_cast<int>(text.size());
    if (length < GetSectionStart(GetLastSection()))
        return false;
    if (text[0] != Letter(false) && text[0] != Letter(true))
        return false;
    if (text[GetSectionStart(2) - 1] != kDegreeSign)
        return false;
    return !m_withSeconds || text[GetSectionStart(3) - 1] == '\'';
}

void CCoordEditRules::Reshape(Edit& edit)
{
    const double value = Parse(edit.text);
    if (IsWellFormed(edit.text))
        return;
    edit.text = FormatValue(value);
    Parse(edit.text);
}

void CCoordEditRules::ReplaceSection(Edit& edit, const std::string& text) const
{
    int start = 0, end = 0;
    GetSectionRange(m_section, static_cast<int>(edit.text.size()), start, end);
    edit.text.replace(start, end - start, text);
}

void CCoordEditRules::SelectSection(int section, Edit& edit)
{
    if (section >= 0) {
        m_section = std::min(section, GetLastSection());
        m_typed = 0;
    }
    GetSectionRange(m_section, static_cast<int>(edit.text.size()), edit.selStart, edit.selEnd);
}

bool CCoordEditRules::TypeChar(char c, Edit& edit)
{
    if (m_mode == kModeNotSet)
        return false;
    if (m_section == GetLastSection())
        return TypeInLastSection(c, edit);
    if (m_section == 0) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != Letter(false) && upper != Letter(true))
            return false;
        Reshape(edit);
        ReplaceSection(edit, std::string(1, upper));
        SelectSection(-1, edit);
        return true;
    }
    if (!IsDigit(c))
        return false;
    return TypeDigit(c - '0', edit);
}

bool CCoordEditRules::TypeDigit(int digit, Edit& edit)
{
    Reshape(edit);
    std::string text;
    if (m_section == 1) {
        const bool longitude = m_mode == kLongitude;
        // A full field starts again with the next digit.
        if (m_typed >= (longitude ? 100 : 10))
            m_typed = 0;
        m_typed = std::min(m_typed * 10 + digit, GetMaxDegrees());
        text = FormatC(longitude ? "%03d" : "%02d", m_typed);
    } else {
        if (m_typed >= 10)
            m_typed = 0;
        m_typed = std::min(m_typed * 10 + digit, 59);
        text = FormatC("%02d", m_typed);
    }
    ReplaceSection(edit, text);
    // The typed number goes on with the next digit.
    const int typed = m_typed;
    SelectSection(-1, edit);
    m_typed = typed;
    return true;
}

bool CCoordEditRules::TypeInLastSection(char c, Edit& edit)
{
    const auto length = static_cast<int>(edit.text.size());
    int start = 0, end = 0;
    GetSectionRange(m_section, length, start, end);
    // Whatever else was selected, only this section is edited.
    int from = std::clamp(std::min(edit.selStart, edit.selEnd), start, length);
    int to = std::clamp(std::max(edit.selStart, edit.selEnd), start, length);
    if (c == kBackspace) {
        if (from == to) {
            if (from == start)
                return false;
            --from;
        }
        edit.text.erase(from, to - from);
    } else if (IsDigit(c) || c == '.') {
        edit.text.replace(from, to - from, 1, c);
        ++from;
    } else {
        return false;
    }
    edit.selStart = edit.selEnd = from;
    return true;
}

bool CCoordEditRules::PressKey(Key key, bool shift, Edit& edit)
{
    const int last = GetLastSection();
    const auto length = static_cast<int>(edit.text.size());
    const int low = std::clamp(std::min(edit.selStart, edit.selEnd), 0, length);
    const int high = std::clamp(std::max(edit.selStart, edit.selEnd), 0, length);
    switch (key) {
    case kHome:
        SelectSection(0, edit);
        return true;
    case kEnd:
        SelectSection(last, edit);
        return true;
    case kLeft:
        // In the last section the caret walks to its start first.
        if (m_section == last && low > GetSectionStart(last)) {
            edit.selStart = edit.selEnd = low < high ? low : low - 1;
            return true;
        }
        SelectSection(m_section == 0 ? last : m_section - 1, edit);
        return true;
    case kRight:
        if (m_section == last) {
            if (high >= length) {
                SelectSection(0, edit);
                return true;
            }
            edit.selStart = edit.selEnd = low < high ? high : high + 1;
            return true;
        }
        SelectSection(m_section + 1, edit);
        return true;
    case kUp:
    case kDown:
        return Step(key == kUp ? 1 : -1, edit);
    case kDelete: {
        if (m_section != last || shift)
            return false;
        const int start = std::min(GetSectionStart(last), length);
        const int from = std::max(low, start);
        const int to = std::max(high, from);
        if (from < to)
            edit.text.erase(from, to - from);
        else if (from < length)
            edit.text.erase(from, 1);
        edit.selStart = edit.selEnd = from;
        return true;
    }
    }
    return false;
}

bool CCoordEditRules::Step(int step, Edit& edit)
{
    if (m_mode == kModeNotSet)
        return false;
    Reshape(edit);
    m_typed = 0;
    const int last = GetLastSection();
    std::string text;
    if (m_section == 0) {
        const bool negative = m_letter == Letter(true);
        text = std::string(1, Letter(!negative));
    } else if (m_section == 1 || (m_section == 2 && m_section != last)) {
        const bool degrees = m_section == 1;
        const int largest = degrees ? GetMaxDegrees() : 59;
        int value = (degrees ? m_degrees : m_minutes) + step;
        // Past either end it wraps; a part read too large comes down to the largest.
        if (value < 0)
            value = largest;
        else if (value > largest)
            value = step > 0 ? 0 : largest;
        text = FormatC(degrees && m_mode == kLongitude ? "%03d" : "%02d", value);
    } else {
        double value = step > 0 ? std::floor(m_last) + 1 : std::ceil(m_last) - 1;
        if (value < 0)
            value = 59;
        else if (value > 59)
            value = step > 0 ? 0 : 59;
        text = FormatC("%02.f", value);
    }
    ReplaceSection(edit, text);
    SelectSection(-1, edit);
    return true;
}
