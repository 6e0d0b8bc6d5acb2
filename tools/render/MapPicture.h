#pragma once

#include <string>

class CDibImage;
class CDrelView;

// The view's map in a picture of its client size on the window's white;
// false with the reason when the picture cannot be had.
bool DrawMapPicture(CDrelView& view, CDibImage& image, std::string& error);

// One kind of file the map can be drawn into, known by its extension.
struct CMapPictureFormat {
    const char* extension; // without the point, lower case
    // Draws the view's map into the file (stored path), which is replaced
    // only once whole; false with the reason.
    bool (*write)(CDrelView& view, const std::string& path, std::string& error);
};

// The format the file name's extension names (letter case ignored); null for none.
const CMapPictureFormat* FindMapPictureFormat(const std::string& path);
// The extensions known, for messages: ".png, .pdf, .emf, .wmf or .html".
std::string MapPictureExtensions();
