#include "platform/Brush.h"

namespace {

const CBrush::Pattern kHatches[6] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, // horizontal
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal, top left to bottom right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xFF}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
};

} // namespace

bool CBrush::CreateSolidBrush(COLORREF colour)
{
    auto data = std::make_shared<Data>();
    data->style = BS_SOLID;
    data->colour = colour & 0x00FFFFFF;
    m_data = std::move(data);
    return true;
}

bool CBrush::CreateHatchBrush(int hatch, COLORREF colour)
{
    m_data.reset();
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
        return false;
    auto data = std::make_shared<Data>();
    data->style = BS_HATCHED;
    data->colour = colour & 0x00FFFFFF;
    data->hatch = hatch;
    data->bits = kHatches[hatch];
    m_data = std::move(data);
    return true;
}

bool CBrush::CreatePatternBrush(const Pattern& rows)
{
    auto data = std::make_shared<Data>();
    data->style = BS_PATTERN;
    data->bits = rows;
    m_data = std::move(data);
    return true;
}

bool CBrush::CreateBrushIndirect(const LOGBRUSH& brush)
{
    switch (brush.lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(brush.lbColor);
    case BS_NULL: {
        auto data = std::make_shared<Data>();
        data->style = BS_NULL;
        m_data = std::move(data);
        return true;
    }
    case BS_HATCHED:
        return CreateHatchBrush(static_cast<int>(brush.lbHatch), brush.lbColor);
    default:
        m_data.reset();
        return false;
    }
}

CBrush CBrush::FromStock(int stockObject)
{
    static const CBrush white(RGB(255, 255, 255));
    static const CBrush lightGray(RGB(192, 192, 192));
    static const CBrush gray(RGB(128, 128, 128));
    static const CBrush darkGray(RGB(64, 64, 64));
    static const CBrush black(RGB(0, 0, 0));
    static const CBrush null = [] {
        CBrush brush;
        brush.CreateBrushIndirect(LOGBRUSH{BS_NULL, 0, 0});
        return brush;
    }();
    switch (stockObject) {
    case WHITE_BRUSH:
        return white;
    case LTGRAY_BRUSH:
        return lightGray;
    case GRAY_BRUSH:
        return gray;
    case DKGRAY_BRUSH:
        return darkGray;
    case BLACK_BRUSH:
        return black;
    case NULL_BRUSH:
        return null;
    default:
        return {};
    }
}

const CBrush::Pattern& CBrush::GetBits() const
{
    static const Pattern none{};
    return m_data ? m_data->bits : none;
}

const CBrush::Pattern& CBrush::HatchBits(int hatch)
{
    static const Pattern none{};
    return hatch >= HS_HORIZONTAL && hatch <= HS_DIAGCROSS ? kHatches[hatch] : none;
}
