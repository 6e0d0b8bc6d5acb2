#include "settings/GeoreferenceFiles.h"

#include "core/FileUtil.h"
#include "core/MapPoint.h"
#include "platform/NumberText.h"
#include "platform/Stream.h"

namespace {

// Degree texts as the map's own coordinate format 6 writes them.
constexpr int kDegreeForm = 6;

std::string ControlPoint(double x, double y, int column, int row, const char* label, const char* end)
{
    return FormatC("  (%10.10f,%10.10f) (%d,%d) Label \"%s\"%s\n", x, y, column, row, label, end);
}

} // namespace

std::string WorldFileText(const CMapRect& extent, int width, int height)
{
    const double a = (extent.right - extent.left) / width;
    const double e = (extent.bottom - extent.top) / height;
    // The last two place the centre of the top-left pixel.
    return FormatC("%24.14f\n%24.14f\n%24.14f\n%24.14f\n%24.14f\n%24.14f", a, 0.0, 0.0, e, extent.left + a / 2,
                   extent.top + e / 2);
}

std::string TabFileText(const std::string& pictureName, const CMapRect& extent, int width, int height,
                        bool geographic)
{
    std::string text = "!table\n!version 300\n!charset WindowsBalticRim\n\nDefinition Table\n  File \"" +
                       pictureName + "\"\n  Type \"RASTER\"\n";
    text += ControlPoint(extent.left, extent.top, 0, 0, "Pt 1", ",");
    text += ControlPoint(extent.right, extent.top, width - 1, 0, "Pt 2", ",");
    text += ControlPoint(extent.right, extent.bottom, width - 1, height - 1, "Pt 3", ",");
    text += ControlPoint(extent.left, extent.bottom, 0, height - 1, "Pt 4", "");
    text += geographic ? "  CoordSys Earth Projection 1, 104\n  Units \"degree\"\n"
                       : "  CoordSys NonEarth\n  Units \"m\"\n";
    return text;
}

std::string MetFileText(const std::string& pictureName, const CMapRect& extent, int width, int height,
                        bool geographic)
{
    std::string text = "\"" + pictureName + "\"\n";
    if (!geographic)
        return text + FormatC("(%10.10f, %10.10f) (%d,%d)\n(%10.10f, %10.10f) (%d,%d)\n", extent.left, extent.top, 0,
                              0, extent.right, extent.bottom, width - 1, height - 1);
    const CMapPoint topLeft(extent.left, extent.top), bottomRight(extent.right, extent.bottom);
    text += "(" + topLeft.FormatLongitude(kDegreeForm) + ", " + topLeft.FormatLatitude(kDegreeForm) + ") (0,0)\n";
    text += "(" + bottomRight.FormatLongitude(kDegreeForm) + ", " + bottomRight.FormatLatitude(kDegreeForm) + ") " +
            FormatC("(%d,%d)\n", width - 1, height - 1);
    return text;
}

std::string NavFileText(const CMapRect& extent, int width, int height)
{
    // lat1 and lat2 hold the x values, lon1 and lon2 the y values: the
    // readers of these files take them so.
    return FormatC("x1=0\ny1=0\nlat1=%6.5f\nlon1=%6.5f\nx2=%d\ny2=%d\nlat2=%6.5f\nlon2=%6.5f\nsx=%d\nsy=%d\n",
                   extent.left, extent.top, width - 1, height - 1, extent.right, extent.bottom, width / 2,
                   height / 2);
}

bool WriteCrLfText(const std::string& path, const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return WriteFileAtomically(path, [&](CStream& stream) { return stream.WriteExact(bytes.data(), bytes.size()); });
}

int WriteGeoreferenceFiles(const std::string& picturePath, const CMapRect& extent, int width, int height,
                           bool geographic)
{
    const std::string name = GetPathFileName(picturePath);
    const std::pair<const char*, std::string> files[] = {
        {".WLD", WorldFileText(extent, width, height)},
        {".TAB", TabFileText(name, extent, width, height, geographic)},
        {".MET", MetFileText(name, extent, width, height, geographic)},
        {".NAV", NavFileText(extent, width, height)},
    };
    int written = 0;
    for (const auto& [extension, text] : files)
        written += WriteCrLfText(MakePathWithExtension(picturePath, extension), text) ? 1 : 0;
    return written;
}
