#include "settings/MapExport.h"

#include "core/FileUtil.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/UserServices.h"
#include "render/DibImage.h"
#include "settings/GeoreferenceFiles.h"

namespace {

enum ExportMessage : int {
    kNoMemory = 1005,
    kCannotOpenFile = 1007,
};

constexpr int kPictureLayout = 359;
constexpr int kMetafileLayout = 30802;

constexpr const char* kExtensions[] = {"bmp", "wmf", "emf", "png", "jpg", "tif"};

// What the map view's window shows under the map.
constexpr COLORREF kBackground = RGB(255, 255, 255);

int SavePicture(CDibImage& image, int type, const std::string& path)
{
    switch (type) {
    case kExportBmp:
        return image.SaveBmp(path);
    case kExportPng:
        return image.SavePng(path);
    case kExportJpeg:
        return image.SaveJpeg(path);
    case kExportTiff:
        return image.SaveTiff(path);
    default:
        return 0;
    }
}

bool WriteMetafile(CDrelView& view, const std::string& path, int type, const CExportSettings& settings)
{
    const CMapRect* extent = settings.useExtent ? &settings.extent : nullptr;
    const int written = type == kExportWmf
                            ? view.ExportMetafile(path, extent, settings.scale, settings.metafileOption)
                            : view.ExportEnhMetafile(path, extent, settings.scale, settings.metafileOption);
    if (!written)
        AppMessageBoxArg(kCannotOpenFile, path);
    return written != 0;
}

} // namespace

const char kMapExportFilter[] =
    "Windows Bitmap (*.bmp)|*.bmp|Windows Metafile (*.wmf)|*.wmf|Enhanced Metafile (*.emf)|*.emf|"
    "Portable Network Graphics (*.png)|*.png|JPEG File (*.jpg)|*.jpg|Tag Image File Format (*.tif)|*.tif||";

const char* MapExportExtension(int type)
{
    return type >= kExportBmp && type <= kExportTiff ? kExtensions[type - 1] : nullptr;
}

bool IsMetafileExport(int type)
{
    return type == kExportWmf || type == kExportEmf;
}

int MapExportLayout(int type)
{
    return IsMetafileExport(type) ? kMetafileLayout : kPictureLayout;
}

std::string WithExportExtension(const std::string& path, int type)
{
    const char* extension = MapExportExtension(type);
    return extension ? MakePathWithExtension(path, std::string(".") + extension) : path;
}

std::vector<CExportTile> PlanExportTiles(const CExportSettings& settings, CSize client, const CMapRect& viewExtent,
                                         const std::string& path)
{
    const bool own = settings.UsesOwnPicture();
    int width = own ? settings.width : client.cx;
    int height = own ? settings.height : client.cy;
    // Off, the settings' extent is no extent at all: the view's stands.
    CMapRect extent = settings.useExtent ? settings.extent : viewExtent;
    const int columns = std::max(settings.columns, 1), rows = std::max(settings.rows, 1);
    if (width <= 0 || height <= 0)
        return {CExportTile{path, extent, width, height}};
    if (width % columns) {
        const int cut = columns * (width / columns);
        extent.right = extent.left + cut * (extent.right - extent.left) / width;
        width = cut;
    }
    if (height % rows) {
        const int cut = rows * (height / rows);
        extent.bottom = extent.top - cut * (extent.top - extent.bottom) / height;
        height = cut;
    }
    if (columns == 1 && rows == 1)
        return {CExportTile{path, extent, width, height}};
    const double tileWidth = (extent.right - extent.left) / columns, tileHeight = (extent.top - extent.bottom) / rows;
    const std::string extension = GetPathExtension(GetPathFileName(path));
    std::vector<CExportTile> tiles;
    tiles.reserve(static_cast<size_t>(rows) * static_cast<size_t>(columns));
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            CExportTile tile;
            tile.path = MakePathWithExtension(path, "_" + std::to_string(i + 1) + "_" + std::to_string(j + 1) +
                                                        (extension.empty() ? "" : "." + extension));
            tile.extent = CMapRect(extent.left + j * tileWidth, extent.top - i * tileHeight,
                                   extent.left + (j + 1) * tileWidth, extent.top - (i + 1) * tileHeight);
            tile.width = width / columns;
            tile.height = height / rows;
            tiles.push_back(std::move(tile));
        }
    return tiles;
}

bool DrawViewToImage(CDrelView& view, CDibImage& image, const CRenderOptions& options)
{
    const bool sized = options.width > 0 && options.height > 0;
    const CSize size = sized ? CSize(options.width, options.height) : view.GetClientSize();
    CBitmap* bitmap = image.Create(size.cx, size.cy);
    if (!bitmap)
        return false;
    const int dpi = options.dpi > 0 ? options.dpi : view.GetLogPixelsX();
    image.SetResolution(dpi, options.dpi > 0 ? options.dpi : view.GetLogPixelsY());
    CWaitCursor wait;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    const CBitmap previous = dc.SelectObject(*bitmap);
    dc.FillSolidRect(CRect(0, 0, size.cx, size.cy), kBackground);
    view.DrawToDC(dc, options.extent, options.scale, options.dpi);
    dc.SelectObject(previous);
    return true;
}

int RenderViewToImage(const std::string& path, CDrelView& view, int type, int colourMode,
                      const CRenderOptions& options)
{
    CDibImage image;
    if (!DrawViewToImage(view, image, options))
        return 0;
    // The JPEG writer takes 24-bit pictures only.
    if (colourMode == 1 && type != kExportJpeg && !image.ReduceTo8Bit())
        return 0;
    return SavePicture(image, type, path) ? 1 : -1;
}

bool WriteMapExport(CDrelView& view, const std::string& path, int type, const CExportSettings& settings)
{
    if (IsMetafileExport(type))
        return WriteMetafile(view, path, type, settings);
    const std::vector<CExportTile> tiles =
        PlanExportTiles(settings, view.GetClientSize(), view.GetMapExtent(), path);
    const bool own = settings.UsesOwnPicture();
    const bool geographic = view.GetDocument().Settings().mapUnits == kUnitsDegrees;
    bool allWritten = true;
    for (const CExportTile& tile : tiles) {
        CRenderOptions options;
        options.width = tile.width;
        options.height = tile.height;
        // One tile of the view as it shows draws as the window does.
        if (own || tiles.size() > 1) {
            options.extent = &tile.extent;
            options.scale = settings.scale;
        }
        if (own)
            options.dpi = settings.dpi;
        const int result = RenderViewToImage(tile.path, view, type, settings.colourReduction, options);
        if (result == 0) {
            AppMessageBox(kNoMemory);
            return false;
        }
        allWritten = allWritten && result > 0;
        if (settings.georeference)
            WriteGeoreferenceFiles(tile.path, tile.extent, tile.width, tile.height, geographic);
    }
    return allWritten;
}

int& MapExportFilterIndex()
{
    static int index = kExportBmp;
    return index;
}

void ExportMap(CDrelView& view, const CMapExportPrompts& prompts)
{
    std::string path;
    int type = MapExportFilterIndex();
    if (!prompts.askFile || !prompts.askFile(path, type))
        return;
    if (!MapExportExtension(type))
        type = kExportBmp;
    MapExportFilterIndex() = type;
    path = WithExportExtension(path, type);
    static CExportSettings settings;
    CExportSettings edited = settings;
    if (prompts.editSettings && !prompts.editSettings(MapExportLayout(type), view, edited))
        return;
    settings = edited;
    WriteMapExport(view, path, type, settings);
}
