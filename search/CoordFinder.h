#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"

#include <string>
#include <vector>

class CDrelDoc;
class CDrelView;

// The coordinate page of the find sheet without its window: the formats a
// point may be typed in, the values carried from one format to another
// (always from the format they were typed in, so going back and forth
// adds no error), and the point shown on the map.
class CCoordFinder {
public:
    enum Form { kDegMinSec, kDegMin, kDecimal, kPlanar };
    // The map's own coordinates, for a map that is not in degrees.
    static constexpr int kMapSystem = -1;
    // Planar values beyond this many units are refused.
    static constexpr double kPlanarLimit = 1e8;

    struct CFormat {
        std::string text; // code page 1257
        int form = kDegMinSec;
        int system = kMapSystem; // of a planar format: CreateCoordConverter's code
    };

    explicit CCoordFinder(const CDrelDoc& document);

    bool IsGeographicMap() const { return m_geographicMap; }
    const std::vector<CFormat>& Formats() const { return m_formats; }
    bool IsPlanar(int format) const;

    // The last format and values of the process; the first time, the
    // middle of the view's extent.
    void Start(const CMapRect& viewExtent);
    int GetFormat() const { return m_format; }
    // The values in the current format.
    const CMapPoint& GetGeographic() const { return m_geographic; }
    const CMapPoint& GetPlanar() const { return m_shownPlanar; }
    // The user typed them in geographic form, or in the current planar format.
    void SetGeographic(const CMapPoint& point);
    void SetPlanar(const CMapPoint& point);
    // The values carried over to the format.
    void SelectFormat(int format);

    // "Parodyti": the values become the last ones and the map point is
    // made of them; false when they give no usable point.
    bool TakeMapPoint(CMapPoint& point);
    // The map's [Map] Limits hold the point, or the user wants it anyway
    // (2028, No preselected); then the view goes there.
    bool Show(CDrelView& view, const CMapPoint& point) const;
    // An empty Limits holds every point.
    static bool IsInsideLimits(const CMapRect& limits, const CMapPoint& point);

    // The texts of the decimal-degree and planar edits.
    static std::string DecimalText(double value);
    static std::string PlanarText(double value);

private:
    int SystemOf(int format) const;
    // The format of the map's own coordinates; -1 for a map in degrees.
    int MapFormat() const;
    bool ToGeographic(CMapPoint& point, int format) const;
    bool FromGeographic(CMapPoint& point, int format) const;
    bool ToPlanar(CMapPoint& point, int from, int to) const;
    void ShowSource();

    const CDrelDoc& m_document;
    bool m_geographicMap;
    std::vector<CFormat> m_formats;
    int m_format = 0;
    CMapPoint m_geographic;
    // As typed, in the planar format m_planarFormat.
    CMapPoint m_planar;
    int m_planarFormat = -1;
    bool m_typedPlanar = false;
    CMapPoint m_shownPlanar;
};
