#include "search/PlacemarkEdit.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/PointStyle.h"
#include "layers/Sublayer.h"
#include "platform/NumberText.h"

#include <cstdlib>

namespace {

std::string Text(const CDbfTable& table, int index)
{
    std::string text;
    table.GetFieldString(index, text);
    return text;
}

// The library symbol of a style, -1 for a font character or a picture.
int LibrarySymbol(const CStyleRecord& style)
{
    const CPointStyle point = style.Point();
    return point.kind == CPointStyle::kLibrary ? point.symbol : -1;
}

} // namespace

CPlacemarkEdit::CPlacemarkEdit(CDbfTable& table, const CLayer& layer)
    : m_table(table), m_lon(table.FindField("LON")), m_lat(table.FindField("LAT")),
      m_name(table.FindField("NAME")), m_description(table.FindField("DESCR")), m_symbol(-1)
{
    m_info.longitude = AtofC(Text(table, m_lon));
    m_info.latitude = AtofC(Text(table, m_lat));
    m_info.name = Text(table, m_name);
    m_info.description = Text(table, m_description);
    const CSublayer* band = layer.GetSublayer(0);
    if (band && band->m_kind == CSublayer::kClassified) {
        m_info.symbolEditable = true;
        m_symbol = table.FindField("SYMBOL");
        if (const CThemeClass* last = band->m_classes.GetClass(band->m_classes.GetCount() - 1))
            m_defaultSymbol = LibrarySymbol(last->m_style);
        const long stored = std::strtol(Text(table, m_symbol).c_str(), nullptr, 10);
        m_info.symbol = stored < 0 || m_symbol < 0 || stored > 0xFFFF ? m_defaultSymbol : static_cast<int>(stored);
    } else if (band) {
        m_info.symbol = LibrarySymbol(band->m_style);
    }
}

bool CPlacemarkEdit::Write()
{
    m_table.SetFieldDouble(m_lon, m_info.longitude);
    m_table.SetFieldDouble(m_lat, m_info.latitude);
    m_table.SetField(m_name, m_info.name);
    m_table.SetField(m_description, m_info.description);
    if (m_info.symbolEditable)
        m_table.SetFieldLong(m_symbol, m_info.symbol == m_defaultSymbol ? -1 : m_info.symbol);
    return m_table.WriteRecord();
}

bool EditPlacemark(CDbfTable& table, const CLayer& layer, const CPointInfoPrompt& prompt)
{
    CPlacemarkEdit placemark(table, layer);
    return prompt && prompt(placemark);
}
