#include "platform/MetaFileDC.h"

#include "platform/EmfRecorder.h"
#include "platform/WmfRecorder.h"

#include <algorithm>
#include <cmath>

namespace {

// The screen an enhanced metafile names when its reference has no size:
// 96 dots an inch, a whole number of millimetres each way.
constexpr CSize kNominalScreen(1920, 1440);

int Dpi(const CDC* reference, int index)
{
    const int dpi = reference ? reference->GetDeviceCaps(index) : 96;
    return dpi > 0 ? dpi : 96;
}

} // namespace

CMetaFileDC::CMetaFileDC() = default;

CMetaFileDC::~CMetaFileDC()
{
    AttachRecorder(nullptr);
}

CRect CMetaFileDC::FrameFor(const CDC* reference, int width, int height)
{
    const int horzSize = reference ? reference->GetDeviceCaps(HORZSIZE) : 0;
    const int vertSize = reference ? reference->GetDeviceCaps(VERTSIZE) : 0;
    const int horzRes = reference ? reference->GetDeviceCaps(HORZRES) : 0;
    const int vertRes = reference ? reference->GetDeviceCaps(VERTRES) : 0;
    if (horzSize <= 0 || vertSize <= 0 || horzRes <= 0 || vertRes <= 0)
        return CRect(0, 0, MulDiv(width, 2540, 96), MulDiv(height, 2540, 96));
    return CRect(0, 0, MulDiv(width, horzSize * 100, horzRes), MulDiv(height, vertSize * 100, vertRes));
}

void CMetaFileDC::Prepare(const CDC* reference, CSize pixels, int technology)
{
    DeviceInfo info;
    info.dpiX = Dpi(reference, LOGPIXELSX);
    info.dpiY = Dpi(reference, LOGPIXELSY);
    info.bitsPerPixel = reference ? reference->GetDeviceCaps(BITSPIXEL) : 32;
    info.technology = technology;
    // What can be drawn is the frame: the clip box and visibility tests see it.
    info.width = std::max(1, pixels.cx);
    info.height = std::max(1, pixels.cy);
    SetDeviceInfo(info);
}

bool CMetaFileDC::CreateEnhanced(const CDC* reference, const CRect& frame)
{
    if (m_emf || m_wmf || frame.IsRectEmpty())
        return false;
    const int dpiX = Dpi(reference, LOGPIXELSX), dpiY = Dpi(reference, LOGPIXELSY);
    const CSize pixels(static_cast<int>(std::ceil(frame.right * double(dpiX) / 2540)),
                       static_cast<int>(std::ceil(frame.bottom * double(dpiY) / 2540)));
    Prepare(reference, pixels, reference ? reference->GetDeviceCaps(TECHNOLOGY) : DT_RASDISPLAY);
    CSize device(reference ? reference->GetDeviceCaps(HORZRES) : 0, reference ? reference->GetDeviceCaps(VERTRES) : 0);
    if (device.cx <= 0 || device.cy <= 0)
        device = kNominalScreen;
    const CSize micrometres(static_cast<int>(std::lround(device.cx * 25400.0 / dpiX)),
                            static_cast<int>(std::lround(device.cy * 25400.0 / dpiY)));
    m_emf = std::make_unique<CEmfRecorder>(*this, frame, device, micrometres);
    AttachRecorder(m_emf.get());
    return true;
}

bool CMetaFileDC::Create(const CDC* reference, const CRect& frame)
{
    const int unitsPerInch = CWmfRecorder::UnitsPerInchFor(frame);
    if (m_emf || m_wmf || unitsPerInch <= 0)
        return false;
    const int dpiX = Dpi(reference, LOGPIXELSX), dpiY = Dpi(reference, LOGPIXELSY);
    Prepare(reference,
            CSize(static_cast<int>(std::ceil(frame.right * double(dpiX) / 1000)),
                  static_cast<int>(std::ceil(frame.bottom * double(dpiY) / 1000))),
            DT_METAFILE);
    m_wmf = std::make_unique<CWmfRecorder>(*this, frame, unitsPerInch);
    AttachRecorder(m_wmf.get());
    return true;
}

CMetaFile CMetaFileDC::Close()
{
    AttachRecorder(nullptr);
    std::vector<std::uint8_t> bytes;
    if (m_emf)
        bytes = m_emf->Finish();
    else if (m_wmf)
        bytes = m_wmf->Finish();
    m_emf.reset();
    m_wmf.reset();
    return bytes.empty() ? CMetaFile() : CMetaFile::FromBytes(std::move(bytes));
}
