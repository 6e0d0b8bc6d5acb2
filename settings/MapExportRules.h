#pragma once

#include "core/MapRect.h"
#include "platform/Rect.h"

#include <string>

class CDrelView;
struct CExportSettings;

// The rules of the map export settings dialog (359 for pictures, 30802
// for metafiles): what its choices give and the picture size it shows.

// The dialog's members.
struct CMapExportValues {
    int colourIndex = 0; // 0 "RGB (24 bitai)", 1 "256 spalvos (8 bitai)"
    int resolutionChoice = 0;
    unsigned dpi = 0;
    int scaleChoice = 0;
    double scale = 0; // denominator
    int extentChoice = 0;
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
    int rows = 1;
    int columns = 1;
    int georeference = 0;
    int transparent = 0;
    int optimisation = 0;
};

// What the dialog reads of the view.
struct CExportViewInfo {
    CSize client;
    int screenDpi = 96;
    double scale = 0; // the view's denominator
    double printScaleX = 0; // map units per thousandth of an inch
    double printScaleY = 0; // negative: y grows upwards
    CMapRect visible;
    CMapRect limits; // the map's [Map] Limits
};
CExportViewInfo ExportViewInfo(const CDrelView& view);

// The choices of the combos, in list order.
inline constexpr const char* kResolutionChoices[] = {"Ekrano",  "72 dpi",  "96 dpi", "150 dpi",
                                                     "200 dpi", "300 dpi", "Nurodyta vartotojo"};
inline constexpr int kUserResolution = 6;
inline constexpr const char* kScaleChoices[] = {
    "Einamasis", "1:500",     "1:1000",    "1:2000",      "1:5000",        "1:10 000",           "1:20 000",
    "1:50 000",  "1:100 000", "1:200 000", "1:500 000",   "1:1 000 000",   "Nurodytas vartotojo"};
inline constexpr int kUserScale = 12;
inline constexpr const char* kExtentChoices[] = {"Pagal lango ribas", "Pilnas žemėlapis", "Nurodytos vartotojo"};
inline constexpr int kUserExtent = 2;
inline constexpr int kMostTiles = 99;

// The dpi of a resolution choice: the screen's, a listed one, or for the
// user's choice the typed value (kept).
unsigned ResolutionOfChoice(int choice, unsigned typed, int screenDpi);
// The denominator of a scale choice: the view's (whole from 100 up, else
// three significant digits), a listed one, or the typed one.
double ScaleOfChoice(int choice, double typed, double viewScale);
// Applies the three combos to the values.
void ApplyResolutionChoice(CMapExportValues& values, const CExportViewInfo& view);
void ApplyScaleChoice(CMapExportValues& values, const CExportViewInfo& view);
void ApplyExtentChoice(CMapExportValues& values, const CExportViewInfo& view);

struct CExportPreview {
    int width = 0; // 0: nothing to show
    int height = 0;
    std::string sizeText; // control 1059
    std::string bytesText; // control 1060
};
CExportPreview ComputeExportPreview(const CMapExportValues& values, const CExportViewInfo& view);
// "1.500.000": groups of three digits joined by '.'.
std::string FormatByteCount(long long count);

// The settings the export runs with: a choice other than the first turns
// its switch on (the scale's, the picture size's).
CExportSettings ExportSettingsFrom(const CMapExportValues& values, const CExportViewInfo& view);

// The values of the dialog's last OK in this run.
CMapExportValues& LastMapExportValues();
