#include "render/BitmapRaster.h"

#include "platform/DC.h"
#include "platform/UserServices.h"
#include "render/Picture.h"
#include "render/PictureCache.h"
#include "render/XImage.h"

namespace {
constexpr int kPictureTooLarge = 1124;
} // namespace

CBitmapRaster::~CBitmapRaster()
{
    Close();
}

bool CBitmapRaster::Open(const std::string& fileName)
{
    Close();
    bool tooLarge = false;
    CPicture* picture = RasterPictureCache().Get(fileName, &tooLarge);
    if (tooLarge)
        AppMessageBoxArg(kPictureTooLarge, fileName);
    if (!picture || picture->GetKind() != CPicture::kRaster)
        return false;
    picture->Lock();
    m_picture = picture;
    m_width = picture->GetImage()->GetWidth();
    m_height = picture->GetImage()->GetHeight();
    ReadWorldFile(PicturePathToOpen(fileName));
    return true;
}

void CBitmapRaster::Close()
{
    if (m_picture)
        m_picture->Unlock();
    m_picture = nullptr;
}

bool CBitmapRaster::Draw(CDC& dc, const CRect& dest, const CRect& source, CDC* second)
{
    if (!m_picture)
        return false;
    // The picture's stored rows go up from its bottom row.
    const CRect rows(source.left, m_height - source.bottom - 1, source.right, m_height - source.top - 1);
    const std::uint32_t rop = m_drawingFlag ? SRCAND : SRCCOPY;
    if (second && second != &dc) {
        if (!m_picture->DrawPart(*second, dest, rows, rop))
            return false;
        return dc.BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), second, dest.left, dest.top, SRCCOPY);
    }
    return m_picture->DrawPart(dc, dest, rows, rop) != 0;
}
