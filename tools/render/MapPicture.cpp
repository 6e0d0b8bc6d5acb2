#include "tools/render/MapPicture.h"

#include "core/FileUtil.h"
#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/UserServices.h"
#include "render/DibImage.h"

namespace {

// What the map view's window shows under the map.
constexpr COLORREF kBackground = RGB(255, 255, 255);

// The picture's own failure, else the message the writer showed.
std::string SaveFailure(const CHeldMessages& held, const std::string& path)
{
    if (!held.Messages().empty())
        return held.Messages().back().text;
    return "cannot write " + path;
}

bool WritePng(CDrelView& view, const std::string& path, std::string& error)
{
    CDibImage image;
    if (!DrawMapPicture(view, image, error))
        return false;
    CHeldMessages held;
    if (!image.SavePng(path)) {
        error = SaveFailure(held, path);
        return false;
    }
    return true;
}

constexpr CMapPictureFormat kFormats[] = {
    {"png", WritePng},
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
    for (const CMapPictureFormat& format : kFormats)
        list += (list.empty() ? "." : " or .") + std::string(format.extension);
    return list;
}
