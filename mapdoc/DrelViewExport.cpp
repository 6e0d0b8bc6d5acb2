// The map view into metafiles and onto the clipboard.
#include "mapdoc/DrelView.h"

#include "platform/DC.h"
#include "platform/MetaFileDC.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cmath>

namespace {

// The screen the pictures are measured against: the view's resolution,
// no physical size (so the frame counts 96 dots an inch).
void MakeScreenReference(CDC& reference, int dpiX, int dpiY)
{
    CDC::DeviceInfo info;
    info.dpiX = dpiX;
    info.dpiY = dpiY;
    reference.SetDeviceInfo(info);
}

// Pictures past this many pixels a side are no map anyone can use.
constexpr double kMostPixels = 1e7;

} // namespace

CSize CDrelView::ExportPictureSize(const CMapRect* extent, double denominator, int dpi) const
{
    if (!extent && denominator <= 0)
        return m_client;
    const CMapRect e = extent ? *extent : GetMapExtent();
    const double factor = denominator > 0 ? denominator / m_scale : 1;
    const double width = (e.right - e.left) / (m_printScaleX * factor) * dpi * 0.001;
    const double height = (e.bottom - e.top) / (m_printScaleY * factor) * dpi * 0.001;
    if (!(width >= 0.5 && height >= 0.5 && width < kMostPixels && height < kMostPixels))
        return CSize();
    return CSize(static_cast<int>(width + 0.5), static_cast<int>(height + 0.5));
}

void CDrelView::RecordMap(CDC& dc, CSize size, const CMapRect* extent, double denominator, int background)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(size.cx, size.cy);
    dc.SetViewportExt(size.cx, size.cy);
    if (background) {
        const CPen pen = dc.SelectObject(CPen::FromStock(NULL_PEN));
        const CBrush brush = dc.SelectObject(CBrush::FromStock(WHITE_BRUSH));
        dc.Rectangle(0, 0, size.cx, size.cy);
        dc.SelectObject(brush);
        dc.SelectObject(pen);
    }
    DrawToDC(dc, extent, denominator, 0);
}

int CDrelView::ExportEnhMetafile(const std::string& path, const CMapRect* extent, double denominator, int background)
{
    return WriteMetafile(true, path, extent, denominator, background);
}

int CDrelView::ExportMetafile(const std::string& path, const CMapRect* extent, double denominator, int background)
{
    return WriteMetafile(false, path, extent, denominator, background);
}

int CDrelView::WriteMetafile(bool enhanced, const std::string& path, const CMapRect* extent, double denominator,
                             int background)
{
    CDC reference;
    MakeScreenReference(reference, m_logPixelsX, m_logPixelsY);
    const CSize size = ExportPictureSize(extent, denominator, m_logPixelsX);
    if (size.cx <= 0 || size.cy <= 0)
        return 0;
    CMetaFileDC dc;
    if (enhanced) {
        if (!dc.CreateEnhanced(&reference, CMetaFileDC::FrameFor(&reference, size.cx, size.cy)))
            return 0;
    } else {
        // The frame in the thousandths of an inch the export maps to.
        reference.SetMapMode(MM_ANISOTROPIC);
        reference.SetWindowExt(1000, 1000);
        reference.SetViewportExt(m_logPixelsX, m_logPixelsY);
        CPoint corner(size.cx, size.cy);
        reference.DPtoLP(&corner);
        reference.SetMapMode(MM_TEXT);
        if (!dc.Create(&reference, CRect(0, 0, corner.x, corner.y)))
            return 0;
    }
    RecordMap(dc, size, extent, denominator, background);
    // Saving writes a file beside the target and renames it over it.
    return dc.Close().Save(path) ? 1 : 0;
}

void CDrelView::CopyToClipboard()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!application || m_client.cx <= 0 || m_client.cy <= 0)
        return;
    QImage image(m_client.cx, m_client.cy, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(m_logPixelsX / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(m_logPixelsY / 0.0254)));
    image.fill(Qt::white);
    {
        CDC dc(image);
        DrawToDC(dc, nullptr, 0, 0);
    }
    auto* data = new QMimeData;
    data->setImageData(image);

    CDC reference;
    MakeScreenReference(reference, m_logPixelsX, m_logPixelsY);
    CMetaFileDC dc;
    if (dc.CreateEnhanced(&reference, CMetaFileDC::FrameFor(&reference, m_client.cx, m_client.cy))) {
        RecordMap(dc, m_client, nullptr, 0, 1);
        const CMetaFile emf = dc.Close();
        const std::vector<std::uint8_t>& bytes = emf.GetBits();
        if (!bytes.empty())
            data->setData("image/x-emf",
                          QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    }
    QGuiApplication::clipboard()->setMimeData(data);
}
