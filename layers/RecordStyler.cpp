#include "layers/RecordStyler.h"

#include "core/DbfTable.h"
#include "layers/Sublayer.h"

namespace {
// Longer values are never told apart by a class.
constexpr size_t kValueSize = 256;
} // namespace

CRecordStyler::CRecordStyler(const CSublayer& sublayer, const CDbfTable& table) : m_sublayer(sublayer), m_table(table)
{
    if (sublayer.m_kind == CSublayer::kClassified && sublayer.m_classes.GetCount() > 0 &&
        !sublayer.m_classField.empty())
        m_field = table.FindField(sublayer.m_classField);
}

const CStyleRecord* CRecordStyler::StyleOfCurrent() const
{
    if (m_field < 0)
        return &m_sublayer.m_style;
    m_table.GetFieldText(m_field, m_text, kValueSize);
    const CThemeClass* themeClass = m_sublayer.m_classes.FindClass(m_text);
    return themeClass ? &themeClass->m_style : nullptr;
}
