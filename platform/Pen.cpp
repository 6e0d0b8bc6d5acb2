#include "platform/Pen.h"

#include <climits>

namespace {

int Magnitude(int width)
{
    return width == INT_MIN ? INT_MAX : (width < 0 ? -width : width);
}

} // namespace

CPen::CPen(int style, int width, COLORREF colour)
{
    CreatePen(style, width, colour);
}

CPen::CPen(int style, int width, const LOGBRUSH& brush, int styleCount, const std::uint32_t* styles)
{
    CreatePen(style, width, brush, styleCount, styles);
}

bool CPen::CreatePen(int style, int width, COLORREF colour)
{
    auto data = std::make_shared<Data>();
    const std::uint32_t kind = static_cast<std::uint32_t>(style) & PS_STYLE_MASK;
    // Style codes beyond the ones this call knows draw as a solid line
    // rather than not at all.
    data->style = kind <= PS_INSIDEFRAME ? kind : PS_SOLID;
    data->width = Magnitude(width);
    data->colour = colour & 0x00FFFFFF;
    m_data = std::move(data);
    return true;
}

bool CPen::CreatePen(int style, int width, const LOGBRUSH& brush, int styleCount, const std::uint32_t* styles)
{
    m_data.reset();
    const auto word = static_cast<std::uint32_t>(style);
    const std::uint32_t kind = word & PS_STYLE_MASK;
    const std::uint32_t type = word & PS_TYPE_MASK;
    const std::uint32_t cap = word & PS_ENDCAP_MASK;
    const std::uint32_t join = word & PS_JOIN_MASK;
    if (word & ~(PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK | PS_TYPE_MASK))
        return false;
    if (type != PS_COSMETIC && type != PS_GEOMETRIC)
        return false;
    if (cap > PS_ENDCAP_FLAT || join > PS_JOIN_MITER || kind > PS_ALTERNATE)
        return false;
    auto data = std::make_shared<Data>();
    if (kind == PS_USERSTYLE) {
        if (styleCount < 1 || styleCount > 16 || !styles)
            return false;
        data->userStyle.assign(styles, styles + styleCount);
        bool any = false;
        for (std::uint32_t length : data->userStyle)
            any = any || length != 0;
        if (!any)
            return false;
    } else if (styleCount != 0) {
        return false;
    }
    if (type == PS_GEOMETRIC) {
        if (kind == PS_ALTERNATE)
            return false;
        if (brush.lbStyle != BS_SOLID && brush.lbStyle != BS_NULL)
            return false;
        data->geometric = true;
        data->width = Magnitude(width);
        data->style = brush.lbStyle == BS_NULL ? (PS_GEOMETRIC | PS_NULL) : word;
    } else {
        if (width != 1 || cap != 0 || join != 0 || kind == PS_INSIDEFRAME)
            return false;
        if (brush.lbStyle != BS_SOLID && brush.lbStyle != BS_NULL)
            return false;
        // Width 0: one pixel whatever the mapping.
        data->width = 0;
        data->style = brush.lbStyle == BS_NULL ? PS_NULL : word;
    }
    data->colour = brush.lbColor & 0x00FFFFFF;
    m_data = std::move(data);
    return true;
}

CPen CPen::FromStock(int stockObject)
{
    // One shared instance each, so stock pens compare equal.
    static const CPen white(PS_SOLID, 0, RGB(255, 255, 255));
    static const CPen black(PS_SOLID, 0, RGB(0, 0, 0));
    static const CPen null(PS_NULL, 0, RGB(0, 0, 0));
    switch (stockObject) {
    case WHITE_PEN:
        return white;
    case BLACK_PEN:
        return black;
    case NULL_PEN:
        return null;
    default:
        return {};
    }
}

const std::vector<std::uint32_t>& CPen::GetUserStyle() const
{
    static const std::vector<std::uint32_t> none;
    return m_data ? m_data->userStyle : none;
}
