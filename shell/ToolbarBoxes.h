#pragma once

#include <functional>
#include <span>
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

// The boxes only an active map window enables (the main window's own
// rule disables them): the scale label and box, 30327, the street,
// house-number and city boxes.
std::span<const int> MapWindowBoxes();

// How a box shows: a static text, an edit, a drop-down list, or a
// drop-down list with an edit field.
enum ToolbarBoxKind { kBoxLabel, kBoxEdit, kBoxDropList, kBoxDropDown };

// One box of a toolbar as its bar makes it. Widths are measured in the
// toolbar font: the sample text's width times num / den, or, without a
// sample, num pixels; the box may stand narrower in its slot.
struct CToolbarBoxInfo {
    int id;
    ToolbarBoxKind kind;
    bool sorted;
    int textLimit; // 0: none
    bool enabled;
    const char* sample;
    int num;
    int den;
    int innerWidth; // 0: the slot's width
    bool narrowOnSmallScreen; // 4/5 of the width on a screen below 1000 pixels
};

// The box of an id; null when the id is no box.
const CToolbarBoxInfo* FindToolbarBoxInfo(int id);
// The width of its slot on the bar and of the box inside it, in pixels.
using TextWidthFunction = std::function<int(std::string_view sample)>;
int ToolbarBoxSlotWidth(const CToolbarBoxInfo& info, const TextWidthFunction& textWidth, int screenWidth);
int ToolbarBoxWidth(const CToolbarBoxInfo& info, const TextWidthFunction& textWidth, int screenWidth);
// A combo's drop-down list is this much taller than its slot.
constexpr int kDropDownListExtra = 200;

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
