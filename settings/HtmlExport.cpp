#include "settings/HtmlExport.h"

#include "core/DeviceGeometry.h"
#include "core/FileUtil.h"
#include "core/RectClipper.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"
#include "settings/GeoreferenceFiles.h"
#include "settings/MapExport.h"

namespace {

enum HtmlExportMessage : int {
    kNoMemory = 1005,
    kCannotOpenFile = 1007,
};

// Pixels of the circle around a point.
constexpr int kPointRadius = 7;

struct CResolvedField {
    int index;
    std::string caption;
};

std::string AreaLine(const std::string& tooltip, const char* shape, const std::string& coords,
                     const std::string& link)
{
    return "<area alt=\"" + tooltip + "\" shape=\"" + shape + "\" coords=\"" + coords + "\" " + link + ">\n";
}

// "x,y,x,y..." of one part in client pixels, thinned to a pixel.
std::string PolygonCoords(CDrelView& view, const CMapPoint* points, int count)
{
    const std::vector<CPoint>& pixels = view.ShapeToClientPoints(points, count);
    std::vector<CPoint> thinned(pixels.size());
    int kept = static_cast<int>(pixels.size());
    if (kept > 2)
        kept = SimplifyDevicePolylineTol(pixels.data(), thinned.data(), kept, 1);
    else
        thinned = pixels;
    std::string coords;
    for (int i = 0; i < kept; ++i) {
        if (i > 0)
            coords += ',';
        coords += std::to_string(thinned[static_cast<size_t>(i)].x) + "," +
                  std::to_string(thinned[static_cast<size_t>(i)].y);
    }
    return coords;
}

bool Inside(const CMapRect& box, const CMapRect& extent)
{
    return box.left >= extent.left && box.top <= extent.top && box.right <= extent.right &&
           box.bottom >= extent.bottom;
}

} // namespace

CHtmlExportOptions& HtmlExportOptions()
{
    static CHtmlExportOptions options;
    return options;
}

std::string EscapeHtml(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

int WriteHtmlImageMap(CLayer& layer, CDrelView& view, std::vector<std::string>& areas,
                      const std::vector<std::string>& infoFields, const std::string& linkField, int showNames,
                      const std::string& extra)
{
    const int type = layer.GetType();
    if (type != CLayer::kPoint && type != CLayer::kArea && type != CLayer::kTrack)
        return 0;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    const CMapRect extent = view.GetMapExtent();
    source.SetQueryRect(&extent);
    const CDbfTable& table = source.GetTable();
    const int linkIndex = linkField.empty() ? -1 : table.FindField(linkField);
    std::vector<CResolvedField> fields;
    for (size_t i = 0; i < infoFields.size() && i < static_cast<size_t>(kMostHtmlInfoFields); ++i)
        if (const int index = table.FindField(infoFields[i]); index >= 0)
            fields.push_back({index, table.GetFieldCaption(index)});
    if (fields.empty())
        return 0;
    if (type != CLayer::kArea)
        source.SetReadConverter(view.GetGeoToMapConverter());

    const size_t before = areas.size();
    CShape shape;
    CMapPoint point;
    std::string value;
    const auto next = [&] { return type == CLayer::kArea ? source.ReadNextShape(shape) : source.ReadNextPoint(point); };
    while (next()) {
        const int record = source.GetCurrentRecord();
        std::string link;
        if (linkIndex >= 0)
            source.GetFieldText(record, linkIndex, link);
        std::string tooltip;
        bool anyValue = false;
        for (size_t i = 0; i < fields.size(); ++i) {
            source.GetFieldText(record, fields[i].index, value);
            anyValue = anyValue || !value.empty();
            if (i > 0)
                tooltip += '\n';
            tooltip += EscapeHtml(showNames ? fields[i].caption + ": " + value : value);
        }
        if (!anyValue && link.empty())
            continue;
        const std::string linkPart =
            !link.empty() ? "href=\"" + EscapeHtml(link) + "\"" : extra.empty() ? "nohref" : "nohref " + extra;
        if (type != CLayer::kArea) {
            const CPoint at = view.MapToClient(point);
            areas.push_back(AreaLine(tooltip, "circle", FormatC("%d,%d,%d", at.x, at.y, kPointRadius), linkPart));
            continue;
        }
        // Cut as rings: each piece stays a closed area along the edge.
        if (!Inside(shape.GetExtent(), extent) && !CRectClipper(extent).ClipPolygon(shape, shape))
            continue;
        for (int part = 0, start = 0; part < shape.GetPartCount(); start += shape.GetPartSize(part), ++part) {
            if (shape.GetPartSize(part) > 0)
                areas.push_back(AreaLine(tooltip, "poly",
                                         PolygonCoords(view, &shape.GetPoint(start), shape.GetPartSize(part)),
                                         linkPart));
        }
    }
    return areas.size() > before ? 1 : 0;
}

std::string HtmlPageText(const std::string& title, const std::string& charset, const std::string& pictureName,
                         int width, int height, const std::vector<std::string>& areas)
{
    std::string page = "<html>\n<head>\n<title>" + EscapeHtml(title.empty() ? "Map" : title) +
                       "</title>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=" +
                       EscapeHtml(charset) + "\">\n</head>\n<body>\n";
    if (!title.empty())
        page += "<p><H2 align=\"center\">" + EscapeHtml(title) + "</H2></p>";
    const std::string size = FormatC("border=\"0\" width=\"%d\" height=\"%d\">\n", width, height);
    const std::string source = "<p align=\"center\"><img src=\"" + EscapeHtml(pictureName) + "\" ";
    if (areas.empty()) {
        page += source + size;
    } else {
        page += source + "usemap=\"#imgMap\" " + size + "<map name=\"imgMap\">\n";
        for (const std::string& area : areas)
            page += area;
        page += "</map></p>\n";
    }
    return page + "</body>\n</html>\n";
}

void ExportMapToHtml(CDrelView& view, const CHtmlExportPrompts& prompts)
{
    std::string path;
    if (!prompts.askFile || !prompts.askFile(path))
        return;
    CHtmlExportOptions& options = HtmlExportOptions();
    CHtmlExportOptions edited = options;
    if (prompts.editOptions && !prompts.editOptions(view, edited))
        return;
    options = edited;

    std::vector<std::string> areas;
    if (CLayer* layer = options.layerName.empty() ? nullptr
                                                  : view.GetDocument().Layers().FindByName(options.layerName))
        WriteHtmlImageMap(*layer, view, areas, options.infoFields, options.linkField, options.showNames);

    const std::string picture = MakePathWithExtension(path, ".png");
    CHeldMessages pictureMessages;
    const int drawn = RenderViewToImage(picture, view, kExportPng, 0);
    pictureMessages.Release();
    const CSize client = view.GetClientSize();
    if (!WriteCrLfText(path, HtmlPageText(options.title, options.charset, GetPathTitle(path) + ".png", client.cx,
                                          client.cy, areas))) {
        // The folder that took neither says so once.
        AppMessageBoxArg(kCannotOpenFile, path);
        return;
    }
    if (drawn == 0)
        AppMessageBox(kNoMemory);
    for (const CHeldMessages::Message& message : pictureMessages.Messages())
        AppMessageBox(message.text, message.type, message.helpId);
    if (options.openInBrowser && prompts.openPage)
        prompts.openPage(path);
}
