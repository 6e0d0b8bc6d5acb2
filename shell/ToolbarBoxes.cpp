#include "shell/ToolbarBoxes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct EnterRoute {
    int box;
    int command;
};

// Enter in a box runs its search or show command.
constexpr EnterRoute kEnterRoutes[] = {
    {kScaleBox, 30004},           {kStreetBox, 30331},          {kHouseNumberBox, 30331},
    {kAdminMunicipalityBox, 30444}, {kAdminWardBox, 30446},       {kAdminSettlementBox, 30448},
    {kAdminStreetBox, 30450},     {kAdminHouseNumberBox, 30452}, {kAdminCountyBox, 30456},
    {kReplayPointBox, 0},
};

const EnterRoute* FindRoute(int box)
{
    for (const EnterRoute& route : kEnterRoutes)
        if (route.box == box)
            return &route;
    return nullptr;
}

} // namespace

std::string FormatScaleText(double denominator)
{
    char text[64];
    if (denominator >= 100)
        std::snprintf(text, sizeof text, "%.0f", std::floor(denominator + 0.5));
    else
        std::snprintf(text, sizeof text, "%1.3g", denominator);
    return text;
}

double ParseScaleText(std::string_view text)
{
    const std::string head(text.substr(0, 19));
    return std::atof(head.c_str());
}

int FindEnterBox(int focusedId, int parentId)
{
    if (FindRoute(focusedId))
        return focusedId;
    return FindRoute(parentId) ? parentId : 0;
}

int EnterCommandOfBox(int boxId)
{
    const EnterRoute* route = FindRoute(boxId);
    return route ? route->command : 0;
}
