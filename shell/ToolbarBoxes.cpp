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

constexpr char kAddressSample[] = "XAdresas:";
constexpr char kNumberSample[] = "9999999";
constexpr char kNameSample[] = "Xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

constexpr CToolbarBoxInfo kBoxes[] = {
    {kCityBox, kBoxDropList, true, 50, false, kAddressSample, 5, 2, 0, false},
    {kStreetBox, kBoxDropDown, true, 50, true, kAddressSample, 7, 2, 0, false},
    {kHouseNumberBox, kBoxEdit, false, 5, true, kNumberSample, 1, 1, 0, false},
    {kPlacesBox, kBoxDropList, true, 0, false, kNameSample, 1, 1, 0, false},
    {kScaleLabelBox, kBoxLabel, false, 0, true, nullptr, 10, 1, 0, false},
    {kScaleBox, kBoxEdit, false, 12, true, nullptr, 80, 1, 0, false},
    {kAdminCountyBox, kBoxDropList, true, 50, false, kNameSample, 1, 1, 0, true},
    {kAdminMunicipalityBox, kBoxDropList, true, 50, false, kNameSample, 1, 1, 0, true},
    {kAdminWardBox, kBoxDropList, true, 50, false, kNameSample, 1, 1, 0, true},
    {kAdminSettlementBox, kBoxDropList, true, 50, false, kNameSample, 1, 1, 0, true},
    {kAdminStreetBox, kBoxDropDown, true, 50, false, kNameSample, 1, 1, 0, true},
    {kAdminHouseNumberBox, kBoxEdit, false, 5, false, kNumberSample, 1, 1, 0, false},
    {kReplaySpeedBox, kBoxDropList, false, 0, true, nullptr, 60, 1, 52, false},
    {kReplayPointBox, kBoxEdit, false, 6, true, nullptr, 54, 1, 48, false},
};

constexpr int kSmallScreenWidth = 1000;

constexpr int kMapWindowBoxes[] = {kScaleLabelBox, kScaleBox, 30327, kStreetBox, kHouseNumberBox, kCityBox};

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

std::span<const int> MapWindowBoxes()
{
    return kMapWindowBoxes;
}

const CToolbarBoxInfo* FindToolbarBoxInfo(int id)
{
    for (const CToolbarBoxInfo& info : kBoxes)
        if (info.id == id)
            return &info;
    return nullptr;
}

int ToolbarBoxSlotWidth(const CToolbarBoxInfo& info, const TextWidthFunction& textWidth, int screenWidth)
{
    if (!info.sample)
        return info.num;
    int width = textWidth(info.sample) * info.num / info.den;
    if (info.narrowOnSmallScreen && screenWidth < kSmallScreenWidth)
        width = width * 4 / 5;
    return width;
}

int ToolbarBoxWidth(const CToolbarBoxInfo& info, const TextWidthFunction& textWidth, int screenWidth)
{
    return info.innerWidth > 0 ? info.innerWidth : ToolbarBoxSlotWidth(info, textWidth, screenWidth);
}
