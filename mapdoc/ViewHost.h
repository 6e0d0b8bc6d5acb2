#pragma once

#include "core/MapRect.h"

#include <string>

// What a map view asks of the application around it: the screen's
// resolution, the scale box, the status bar, the line-editing bar, the map
// list and the configuration file. The shell installs its implementation;
// without one these answers hold (a 96-dpi screen, nothing shown, no other
// map, no links, no configuration file).
class IViewHost {
public:
    virtual ~IViewHost() = default;

    // Dots per inch of the main window's display.
    virtual void GetScreenLogPixels(int& x, int& y) { x = y = 96; }
    // Shows the scale denominator in the scale box.
    virtual void SetScaleText(double denominator) {}
    // Status-bar pane 1 (code page 1257).
    virtual void SetMessageText(const std::string& text) {}
    // The main window's line-editing toolbar is shown and its line-editing
    // state set, or both undone.
    virtual void SetLineEditing(bool on) {}
    // Opens the best other map of the map list for the extent (in the
    // units) and zooms its view there; the own path is skipped. True
    // when a map was opened: the caller then does nothing more.
    virtual bool OpenBestMapForExtent(const CMapRect& extent, int units, const std::string& ownPath, int autoLoadOnly,
                                      int convert, int zoom)
    {
        return false;
    }
    // The path is the target of one of the map links (letter case ignored).
    virtual bool IsMapLinked(const std::string& path) { return false; }
    // The application configuration file; empty when there is none.
    virtual std::string GetConfigFilePath() { return {}; }
    // [Settings] "LayerOrderInLegend": 1 lists the last drawn layer first
    // in the legends, 0 the first drawn.
    virtual int GetLayerOrderInLegend() { return 1; }
};

IViewHost& ViewHost();
// Installs a host; null restores the default. The caller keeps ownership.
void SetViewHost(IViewHost* host);

// The host's screen resolution; 96 for an axis it gives no sensible value for.
void GetScreenLogPixels(int& x, int& y);
// Pixels per metre of the screen on each axis.
void GetScreenPixelsPerMeter(int& x, int& y);
