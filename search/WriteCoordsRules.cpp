#include "search/WriteCoordsRules.h"

#include "core/CoordConverter.h"
#include "core/DbfTable.h"

namespace {

struct SystemEntry {
    const char* text;
    int code;
};

const SystemEntry kPointSystems[] = {
    {"Geografinė (WGS-84)", kCoordGeographic}, {"LKS-94", kCoordTm},         {"UTM", kCoordUtm},
    {"LKS-92 (Latvijos)", kCoordTm96},         {"Vietinė (Šiaulių)", kCoordLocal},
};
const SystemEntry kLineSystems[] = {
    {"Geografinė (WGS-84)", kCoordGeographic},
    {"LKS-94", kCoordTm},
    {"UTM", kCoordUtm},
    {"Vietinė (Šiaulių)", kCoordLocal},
};

template <size_t N>
int CodeOf(const SystemEntry (&entries)[N], int entry)
{
    return entry >= 0 && entry < static_cast<int>(N) ? entries[entry].code : -1;
}

} // namespace

std::vector<const char*> CWriteCoordsRules::SystemEntries() const
{
    std::vector<const char*> texts;
    if (m_lines)
        for (const SystemEntry& e : kLineSystems)
            texts.push_back(e.text);
    else
        for (const SystemEntry& e : kPointSystems)
            texts.push_back(e.text);
    return texts;
}

int CWriteCoordsRules::SystemCode(int entry) const
{
    return m_lines ? CodeOf(kLineSystems, entry) : CodeOf(kPointSystems, entry);
}

std::vector<CWriteCoordsRules::Field> CWriteCoordsRules::ListedFields(const CDbfTable& table) const
{
    std::vector<Field> fields;
    for (int i = 0; i < table.GetFieldCount(); ++i) {
        const char type = table.GetFieldType(i);
        if (m_lines || type == 'F' || type == 'N')
            fields.push_back({table.GetFieldCaption(i), table.GetFieldName(i)});
    }
    return fields;
}

bool CWriteCoordsRules::Accepts(const Choice& choice) const
{
    if (!m_lines)
        return !choice.xField.empty() && !choice.yField.empty();
    return !choice.xField.empty() || !choice.yField.empty() || !choice.lastXField.empty() ||
           !choice.lastYField.empty();
}

CWriteCoordsRules::Choice CWriteCoordsRules::Finish(Choice choice, int fromEntry, int toEntry) const
{
    Memory& memory = Remembered();
    memory.transform = choice.transform;
    memory.fromEntry = fromEntry;
    memory.toEntry = toEntry;
    choice.fromSystem = SystemCode(fromEntry);
    choice.toSystem = SystemCode(toEntry);
    return choice;
}

CWriteCoordsRules::Memory& CWriteCoordsRules::Remembered() const
{
    static Memory points, lines;
    return m_lines ? lines : points;
}
