#include "tools/render/MapPicture.h"

#include "core/FileUtil.h"
#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/UserServices.h"
#include "platform/Stream.h"
#include "render/DibImage.h"
#include "settings/HtmlExport.h"
#include "settings/MapExport.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>
#include <iterator>

namespace {

std::string PictureFailure(const CDrelView& view)
{
    const CSize size = view.GetClientSize();
    return "a picture of " + std::to_string(size.cx) + " x " + std::to_string(size.cy) + " pixels cannot be made";
}

// What the drawing said (a layer it could not read) goes on to the caller.
void ForwardMessages(const CHeldMessages& held)
{
    for (const CHeldMessages::Message& message : held.Messages())
        AppMessageBox(message.text, message.type, message.helpId);
}

// The writers tell of their failures in a box: the last one is the reason.
std::string WriteFailure(const CHeldMessages& held, const std::string& path)
{
    return held.Messages().empty() ? "cannot write " + path : held.Messages().back().text;
}

// The map drawn into a PNG as the map export draws it; the writer
// replaces the file only once the new one is whole.
bool WritePng(CDrelView& view, const std::string& path, std::string& error)
{
    CHeldMessages held;
    const int written = RenderViewToImage(path, view, kExportPng, 0);
    held.Release();
    if (written == 0)
        error = PictureFailure(view);
    else if (written < 0)
        error = WriteFailure(held, path);
    else
        ForwardMessages(held);
    return written > 0;
}

// A PDF page holds the map as lines and text, placed at this resolution.
constexpr int kPdfDpi = 300;

// One page the size the picture would have on the screen, without
// margins, the map drawn as printing draws it.
bool WritePdf(CDrelView& view, const std::string& path, std::string& error)
{
    const CSize size = view.GetClientSize();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDpi);
        writer.setCreator("drel-render");
        const double width = size.cx * 72.0 / view.GetLogPixelsX(), height = size.cy * 72.0 / view.GetLogPixelsY();
        const QPageSize page(QSizeF(std::min(width, height), std::max(width, height)), QPageSize::Point, QString(),
                             QPageSize::ExactMatch);
        writer.setPageLayout(
            QPageLayout(page, width > height ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
        CDC dc(writer);
        if (!dc.IsPrinting()) {
            error = "a PDF page of " + std::to_string(size.cx) + " x " + std::to_string(size.cy) +
                    " pixels cannot be made";
            return false;
        }
        const CMapRect extent = view.GetMapExtent();
        view.DrawToDC(dc, &extent, 0, kPdfDpi);
    }
    if (!WriteFileAtomically(path, [&](CStream& stream) {
            return stream.WriteExact(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        })) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

// A metafile by the view's export, the view's own message as the reason.
template <int (CDrelView::*Export)(const std::string&, const CMapRect*, double, int)>
bool WriteMetafile(CDrelView& view, const std::string& path, std::string& error)
{
    CHeldMessages held;
    if (!(view.*Export)(path, nullptr, 0, 1)) {
        error = WriteFailure(held, path);
        return false;
    }
    return true;
}

// A web page showing the map, as the map window's HTML export writes it
// without an image map; its picture beside it.
// What goes wrong it tells in a box, which the caller holds.
bool WriteHtml(CDrelView& view, const std::string& path, std::string& error)
{
    CHtmlExportPrompts prompts;
    prompts.askFile = [&](std::string& chosen) {
        chosen = path;
        return true;
    };
    prompts.editOptions = [](CDrelView&, CHtmlExportOptions& options) {
        options.layerName.clear();
        return true;
    };
    ExportMapToHtml(view, prompts);
    return true;
}

constexpr CMapPictureFormat kFormats[] = {
    {"png", WritePng},
    {"pdf", WritePdf},
    {"emf", WriteMetafile<&CDrelView::ExportEnhMetafile>},
    {"wmf", WriteMetafile<&CDrelView::ExportMetafile>},
    {"html", WriteHtml},
};

} // namespace

bool DrawMapPicture(CDrelView& view, CDibImage& image, std::string& error)
{
    if (DrawViewToImage(view, image))
        return true;
    error = PictureFailure(view);
    return false;
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
