#pragma once

#include <functional>
#include <string>
#include <vector>

class CDrelView;
class CLayer;

// Command 30359: what the map view shows saved as a web page, a PNG of
// the view beside an HTML file that shows it, with an image map of one
// layer's objects (tooltips of attribute values, links from a field).

// The choices of the export, kept for the rest of the run.
struct CHtmlExportOptions {
    std::string layerName; // the active-objects layer; empty for none
    std::string title;
    std::string linkField; // a field caption; empty for none
    std::string charset = "Windows-1257";
    std::vector<std::string> infoFields; // field captions, in order
    int showNames = 1;
    int openInBrowser = 1;
};
CHtmlExportOptions& HtmlExportOptions();

// Most fields a tooltip shows.
inline constexpr int kMostHtmlInfoFields = 10;

// '&', '<', '>' and '"' as character references.
std::string EscapeHtml(const std::string& text);

// Appends one area line per object of the layer in the view's extent:
// circles of radius 7 around points and track points, polygons of the
// area parts (cut to the extent as rings, thinned to a pixel). Tooltips
// join "caption: value" (or the values alone) by "\n"; the link comes from
// the link field, else "nohref" and the extra attribute text. Objects with
// neither a tooltip nor a link get no area. 1 when any area was appended.
int WriteHtmlImageMap(CLayer& layer, CDrelView& view, std::vector<std::string>& areas,
                      const std::vector<std::string>& infoFields, const std::string& linkField, int showNames,
                      const std::string& extra = {});

// The page: title ("Map" when empty), character set, the picture of the
// given size and, with areas, its image map. Code page 1257 text, "\n"
// line ends.
std::string HtmlPageText(const std::string& title, const std::string& charset, const std::string& pictureName,
                         int width, int height, const std::vector<std::string>& areas);

// What the user answers during the export.
struct CHtmlExportPrompts {
    // The page's file; false when cancelled.
    std::function<bool(std::string& path)> askFile;
    // Dialog 362 over the options; false when cancelled.
    std::function<bool(CDrelView& view, CHtmlExportOptions& options)> editOptions;
    // Shows the written page.
    std::function<void(const std::string& path)> openPage;
};

// The export command. Message 1005 when the picture cannot be made (the
// page is written still), 1007 when the page cannot be written.
void ExportMapToHtml(CDrelView& view, const CHtmlExportPrompts& prompts);
