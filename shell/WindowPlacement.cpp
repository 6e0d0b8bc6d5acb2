#include "shell/WindowPlacement.h"

#include "platform/AppProfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kSection[] = "Settings";

// One number of the list, blanks around it; false when there is none or
// it does not fit an int.
bool ReadNumber(std::string_view& text, long long& value)
{
    std::string piece(text.substr(0, text.find(',')));
    text.remove_prefix(std::min(text.size(), piece.size()));
    const char* start = piece.c_str();
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(start, &end, 10);
    if (end == start || errno == ERANGE || value < INT_MIN || value > UINT_MAX)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0';
}

} // namespace

std::string CWindowPlacement::Format() const
{
    char text[160];
    std::snprintf(text, sizeof text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", flags, showCmd, minX, minY, maxX, maxY, left, top,
                  right, bottom);
    return text;
}

bool CWindowPlacement::Parse(std::string_view text)
{
    long long values[10];
    for (int i = 0; i < 10; ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != ',')
                return false;
            text.remove_prefix(1);
        }
        if (!ReadNumber(text, values[i]))
            return false;
    }
    if (!text.empty())
        return false;
    for (int i = 0; i < 2; ++i)
        if (values[i] < 0)
            return false;
    for (int i = 2; i < 10; ++i)
        if (values[i] > INT_MAX)
            return false;
    if (values[8] <= values[6] || values[9] <= values[7])
        return false;
    flags = static_cast<unsigned>(values[0]);
    showCmd = static_cast<unsigned>(values[1]);
    minX = static_cast<int>(values[2]);
    minY = static_cast<int>(values[3]);
    maxX = static_cast<int>(values[4]);
    maxY = static_cast<int>(values[5]);
    left = static_cast<int>(values[6]);
    top = static_cast<int>(values[7]);
    right = static_cast<int>(values[8]);
    bottom = static_cast<int>(values[9]);
    return true;
}

void CShowState::Load()
{
    m_current = m_stored = CAppProfile::Instance().GetInt(kSection, "ShowCmd", m_current);
}

bool CShowState::SaveIfChanged()
{
    if (m_current == m_stored)
        return false;
    CAppProfile::Instance().WriteInt(kSection, "ShowCmd", m_current);
    m_stored = m_current;
    return true;
}

std::vector<CRect> CascadeWindowRects(CSize area, int count, int step)
{
    std::vector<CRect> rects;
    if (count <= 0)
        return rects;
    step = std::max(step, 1);
    const auto side = [count, step](int length) {
        return std::max(length - (count - 1) * step, length * 2 / 3);
    };
    const CSize size(side(area.cx), side(area.cy));
    // How many steps the room left by that size holds.
    const int places = 1 + std::max(0, std::min(area.cx - size.cx, area.cy - size.cy) / step);
    for (int i = 0; i < count; ++i) {
        const int offset = (i % places) * step;
        rects.emplace_back(CPoint(offset, offset), size);
    }
    return rects;
}
