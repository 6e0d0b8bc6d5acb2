#include "core/DbfFieldInfoArray.h"

#include "core/DbfTable.h"
#include "platform/Codepage.h"

#include <cstring>

int CDbfFieldInfoArray::Add(const CDbfFieldInfo& info)
{
    m_infos.push_back(info);
    return GetSize() - 1;
}

bool CDbfFieldInfoArray::SetAtGrow(int index, const CDbfFieldInfo& info)
{
    if (index < 0)
        return false;
    if (index >= GetSize())
        m_infos.resize(static_cast<size_t>(index) + 1, CDbfFieldInfo{});
    m_infos[static_cast<size_t>(index)] = info;
    return true;
}

bool CDbfFieldInfoArray::LoadFromFile(const std::string& path)
{
    CDbfTable table;
    if (!table.Open(path))
        return false;
    LoadFromTable(table);
    return true;
}

void CDbfFieldInfoArray::LoadFromTable(const CDbfTable& table)
{
    m_infos.assign(static_cast<size_t>(table.GetFieldCount()), CDbfFieldInfo{});
    for (int i = 0; i < table.GetFieldCount(); ++i)
        m_infos[static_cast<size_t>(i)].Set(table.GetFieldName(i), table.GetFieldType(i),
                                            static_cast<unsigned>(table.GetFieldLength(i)),
                                            static_cast<unsigned>(table.GetFieldDecimals(i)));
}

int CDbfFieldInfoArray::FindField(std::string_view name) const
{
    for (int i = 0; i < GetSize(); ++i) {
        const CDbfFieldInfo& info = m_infos[static_cast<size_t>(i)];
        if (EqualsNoCase1257(std::string_view(info.name, strnlen(info.name, sizeof info.name)), name))
            return i;
    }
    return -1;
}
