#include "tools/render/RenderCommandLine.h"

#include "platform/NumberText.h"
#include "tools/render/MapPicture.h"

#include <cctype>
#include <cmath>

namespace {

// "W x H": two whole numbers from 1 to the largest side.
bool ParseSize(const std::string& text, int& width, int& height)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    const auto side = [](const std::string& digits, int& value) {
        if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        value = std::stoi(digits);
        return value >= 1 && value <= CRenderCommandLine::kMaxSide;
    };
    return side(text.substr(0, x), width) && side(text.substr(x + 1), height);
}

// "L,B,R,T": four finite numbers with left < right and bottom < top.
bool ParseExtent(const std::string& text, CMapRect& extent)
{
    double v[4];
    size_t at = 0;
    for (int k = 0; k < 4; ++k) {
        size_t used = 0;
        v[k] = ParseDoubleC(std::string_view(text).substr(at), &used);
        // ParseDoubleC skips leading blanks; a number must stand right there.
        if (used == 0 || std::isspace(static_cast<unsigned char>(text[at])) || !std::isfinite(v[k]))
            return false;
        at += used;
        if (k < 3) {
            if (at >= text.size() || text[at] != ',')
                return false;
            ++at;
        }
    }
    if (at != text.size() || !(v[0] < v[2]) || !(v[1] < v[3]))
        return false;
    extent = CMapRect(v[0], v[3], v[2], v[1]);
    return true;
}

} // namespace

bool CRenderCommandLine::Parse(const std::vector<std::string>& arguments, std::string& error)
{
    bool hasSize = false;
    std::vector<std::string> files;
    for (size_t k = 0; k < arguments.size(); ++k) {
        const std::string& argument = arguments[k];
        if (argument == "-h" || argument == "--help") {
            help = true;
            return true;
        }
        if (argument == "--size" || argument == "--extent" || argument == "--bookmark") {
            if (k + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            const std::string& value = arguments[++k];
            if (argument == "--size") {
                if (!ParseSize(value, width, height)) {
                    error = "the size must be WIDTHxHEIGHT in pixels, each from 1 to " + std::to_string(kMaxSide) +
                            ", not \"" + value + "\"";
                    return false;
                }
                hasSize = true;
            } else if (argument == "--extent") {
                if (!ParseExtent(value, extent)) {
                    error = "the extent must be LEFT,BOTTOM,RIGHT,TOP in map units with LEFT < RIGHT and "
                            "BOTTOM < TOP, not \"" +
                            value + "\"";
                    return false;
                }
                hasExtent = true;
            } else {
                if (value.empty()) {
                    error = "the bookmark name is empty";
                    return false;
                }
                bookmark = value;
            }
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        }
        if (argument.empty()) {
            error = files.empty() ? "the map file name is empty" : "the output file name is empty";
            return false;
        }
        files.push_back(argument);
    }
    if (files.empty()) {
        error = "the map file is missing";
        return false;
    }
    if (files.size() == 1) {
        error = "the output file is missing";
        return false;
    }
    if (files.size() > 2) {
        error = "one map and one output file only, not also " + files[2];
        return false;
    }
    mapPath = files[0];
    outPath = files[1];
    if (!FindMapPictureFormat(outPath)) {
        error = "the output file must end in " + MapPictureExtensions() + ", not \"" + outPath + "\"";
        return false;
    }
    if (!hasSize) {
        error = "--size is missing";
        return false;
    }
    if (hasExtent && !bookmark.empty()) {
        error = "--extent and --bookmark exclude each other";
        return false;
    }
    return true;
}

std::string CRenderCommandLine::Usage()
{
    return "Usage: drel-render MAP OUT --size WxH [--extent L,B,R,T | --bookmark NAME]\n"
           "Draws the map file into a picture of W x H pixels as the map export draws it: the map's\n"
           "full extent, or the extent given in map units, or that of the saved place, fitted in.\n"
           "OUT ends in " + MapPictureExtensions() + ", which chooses the format: a PNG picture, one PDF\n"
           "page of the picture's size at 96 dpi, an enhanced or a placeable Windows metafile, or a\n"
           "web page showing a PNG picture beside it.\n";
}
