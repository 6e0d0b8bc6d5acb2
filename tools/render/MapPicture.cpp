#include "tools/render/MapPicture.h"

#include "core/FileUtil.h"
#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/UserServices.h"
#include "render/DibImage.h"

#include <iterator>

namespace {

// What the map view's window shows under the map.
constexpr COLORREF kBackground = RGB(255, 255, 255);

// The map drawn into an export image and saved by one of its writers,
// which replace the file only once the new one is whole.
template <int (CDibImage::*Save)(const std::string&)>
bool WriteExportImage(CDrelView& view, const std::string& path, std::string& error)
{
    CDibImage image;
    if (!DrawMapPicture(view, image, error))
        return false;
    // The writers tell of their failures in a box: the last one is the reason.
    CHeldMessages held;
    if (!(image.*Save)(path)) {
        error = held.Messages().empty() ? "cannot write " + path : held.Messages().back().text;
        return false;
    }
    return true;
}

constexpr CMapPictureFormat kFormats[] = {
    {"png", WriteExportImage<&CDibImage::SavePng>},
};

} // namespace

void DrawMapForExport(CDrelView& view, CDC& dc)
{
    view.DrawToDC(dc, nullptr, 0, 0);
}

bool DrawMapPicture(CDrelView& view, CDibImage& image, std::string& error)
{
    const CSize size = view.GetClientSize();
    CBitmap* bitmap = image.Create(size.cx, size.cy);
    if (!bitmap) {
        error = "a picture of " + std::to_string(size.cx) + " x " + std::to_string(size.cy) + " pixels cannot be made";
        return false;
    }
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(*bitmap);
    dc.FillSolidRect(CRect(0, 0, size.cx, size.cy), kBackground);
    DrawMapForExport(view, dc);
    return true;
}

const CMapPictureFormat* FindMapPictureFormat(const std::string& path)
{
    const std::string extension = GetPathExtension(GetPathFileName(path));
    for (const CMapPictureFormat& format : kFormats)
        if (EqualsNoCase1257(extension, format.extension))
            return &format;
    return nullptr;
}

std::string MapPictureExtensions()
{
    std::string list;
    const size_t count = std::size(kFormats);
    for (size_t k = 0; k < count; ++k)
        list += std::string(k == 0 ? "." : k + 1 == count ? " or ." : ", .") + kFormats[k].extension;
    return list;
}
