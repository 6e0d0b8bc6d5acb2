#include "platform/Bitmap.h"

#include "platform/DC.h"

#include <QImage>

namespace {

constexpr int kMaxSide = 32767;

} // namespace

bool CBitmap::CreateCompatibleBitmap(const CDC* dc, int width, int height)
{
    m_image.reset();
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    auto image = std::make_shared<QImage>(width, height, QImage::Format_RGB32);
    if (image->isNull())
        return false;
    image->fill(0);
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : 96;
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
    image->setDotsPerMeterX(static_cast<int>(dpiX / 0.0254 + 0.5));
    image->setDotsPerMeterY(static_cast<int>(dpiY / 0.0254 + 0.5));
    m_image = std::move(image);
    return true;
}

CSize CBitmap::GetSize() const
{
    return m_image ? CSize(m_image->width(), m_image->height()) : CSize();
}

const std::uint32_t* CBitmap::GetRow(int y) const
{
    if (!m_image || y < 0 || y >= m_image->height())
        return nullptr;
    return reinterpret_cast<const std::uint32_t*>(m_image->constScanLine(y));
}
