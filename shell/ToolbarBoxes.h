#pragma once

#include <string>
#include <string_view>

// Resource ids of the main window's toolbar boxes.
enum ToolbarBoxId : int {
    kScaleLabelBox = 30003,
    kScaleBox = 30004,
    kStreetBox = 30328,
    kHouseNumberBox = 30332,
    kCityBox = 30438,
    kAdminCountyBox = 30455,
    kAdminMunicipalityBox = 30443,
    kAdminWardBox = 30445,
    kAdminSettlementBox = 30447,
    kAdminStreetBox = 30449,
    kAdminHouseNumberBox = 30451,
    kPlacesBox = 30609,
    kReplaySpeedBox = 30430,
    kReplayPointBox = 30618,
};

// The scale box's text of a denominator: "%1.3g" below 100, else the
// denominator rounded to an integer.
std::string FormatScaleText(double denominator);
// The box's text (at most its first 19 characters) read as a number, as
// atof reads it: 0 when it does not start with one.
double ParseScaleText(std::string_view text);

// The box that Enter was pressed in: the focused control when it is one of
// the boxes that take Enter, else its parent (the edit inside a combo);
// 0 when neither is.
int FindEnterBox(int focusedId, int parentId);
// The command that Enter in the box sends; 0 for the replay point box
// (it moves the replay instead) and for other controls.
int EnterCommandOfBox(int boxId);
