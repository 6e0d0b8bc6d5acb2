#include "geoproc/TurnRestrictions.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "geoproc/SketchLinks.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

#include <cfloat>
#include <string>

namespace {

constexpr char kLinkIdField[] = "LINK_ID";
constexpr char kRestrictionField[] = "TURN_RSTRS";

void Tell(const char* utf8, unsigned type = MB_OK | MB_ICONWARNING)
{
    AppMessageBox(Utf8ToCp1257(utf8), type);
}

// The fields of the link table that the command reads and writes.
struct CTurnFields {
    explicit CTurnFields(const CDbfTable& table)
        : linkId(table.FindField(kLinkIdField)), restrictions(table.FindField(kRestrictionField)), nodes(table)
    {}
    int linkId;
    int restrictions;
    CNodeFields nodes;
};

// One link's record as the command needs it.
struct CLinkRecord {
    long from = 0;
    long to = 0;
    long id = 0;
    std::string list;
};

bool ReadLink(CDbfTable& table, const CTurnFields& fields, int record, CLinkRecord& link)
{
    if (!table.GoToRecord(record))
        return false;
    const DbfHandle& handle = *table.GetHandle();
    link.from = DbfGetLong(handle, fields.nodes.from);
    link.to = DbfGetLong(handle, fields.nodes.to);
    link.id = DbfGetLong(handle, fields.linkId);
    // The whole list: a part read back would lose the rest when rewritten.
    table.GetFieldText(fields.restrictions, link.list,
                       static_cast<size_t>(table.GetFieldLength(fields.restrictions)) + 1);
    return true;
}

class CTurnWriter {
public:
    CTurnWriter(CDbfTable& table, const CTurnFields& fields, CSketchLinks& links)
        : m_table(table), m_fields(fields), m_links(links)
    {}

    // The token of one sketch line added to its from-link's list; false
    // for an error.
    bool Add(const CShape& sketch)
    {
        if (sketch.GetPointCount() == 0)
            return false;
        const CMapPoint start = sketch.GetPoint(0);
        const CMapPoint end = sketch.GetPoint(sketch.GetPointCount() - 1);
        CMapPoint onLink;
        const int from = m_links.FindNearest(start, SketchRadius(sketch), &onLink);
        const int to = m_links.FindNearest(end, SketchRadius(sketch));
        if (from < 0 || to < 0)
            return false;
        // Which end of the from-link the sketch starts at; of two equally
        // near ends the last.
        const CShape& link = m_links.GetShape(from);
        const CMapPoint ends[2] = {link.GetPoint(0), link.GetPoint(link.GetPointCount() - 1)};
        int nearer = 0;
        FindNearestVertex(ends, 2, onLink, DBL_MAX, nearer);
        CLinkRecord fromLink, toLink;
        const int record = m_links.GetRecord(from);
        if (!ReadLink(m_table, m_fields, record, fromLink) ||
            !ReadLink(m_table, m_fields, m_links.GetRecord(to), toLink))
            return false;
        const char kind = TurnTokenKind(fromLink.from, fromLink.to, toLink.from, toLink.to, nearer == 0);
        if (kind == 0)
            return false;
        const std::string list = AppendTurnToken(fromLink.list, kind, toLink.id);
        // A list cut at the field's width would end in half a token.
        if (static_cast<int>(list.size()) > m_table.GetFieldLength(m_fields.restrictions))
            return false;
        return m_table.WriteFieldAt(record, m_fields.restrictions, list);
    }

private:
    CDbfTable& m_table;
    const CTurnFields& m_fields;
    CSketchLinks& m_links;
};

} // namespace

char TurnTokenKind(long fromF, long fromT, long toF, long toT, bool startNearFirst)
{
    const bool atFirst = fromF == toF || fromF == toT;
    const bool atLast = fromT == toF || fromT == toT;
    if (atFirst)
        return atLast && !startNearFirst ? 'L' : 'F';
    return atLast ? 'L' : 0;
}

std::string AppendTurnToken(const std::string& list, char kind, long linkId)
{
    std::string token(1, kind);
    token += std::to_string(linkId);
    return list.empty() ? token : list + ";" + token;
}

int AddTurnRestrictions(CLayer& layer, CDrelDoc& document)
{
    CLayerReader reader;
    if (!OpenLinkLayer(layer, reader))
        return 0;
    CDbfTable& table = reader.GetSource()->GetTable();
    const CTurnFields fields(table);
    if (fields.linkId < 0) {
        Tell("Nėra lauko LINK_ID.");
        return 0;
    }
    if (fields.restrictions < 0) {
        Tell("Nėra lauko TURN_RSTRS.");
        return 0;
    }
    if (!fields.nodes.IsComplete()) {
        AppMessageBox(kNoTopologyMessage, MB_OK | MB_ICONWARNING);
        return 0;
    }
    CSketchLinks links;
    CLayer* sketchLayer = ChooseSketchLayer(document, layer, links);
    if (!sketchLayer)
        return 0;
    const int answer = AppMessageBox(Utf8ToCp1257("Ištrinti ankstesnius posūkių ribojimus?"),
                                     MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return 0;
    bool errors = false;
    if (answer == IDYES) {
        CWaitCursor wait;
        for (const int32_t record : links.GetRecords())
            errors = !table.WriteFieldAt(record, fields.restrictions, "") || errors;
    }
    CLayerReader sketchReader;
    if (!sketchReader.OpenLayer(sketchLayer))
        return 0;
    bool added = false;
    {
        CWaitCursor wait;
        CTurnWriter writer(table, fields, links);
        CFeatureSource& sketches = *sketchReader.GetSource();
        for (CShape sketch; sketches.ReadNextShape(sketch);) {
            if (writer.Add(sketch))
                added = true;
            else
                errors = true;
        }
        errors = errors || sketches.GetError() != CFeatureSource::kNoError;
    }
    if (errors)
        Tell("Yra klaidų.");
    else if (added)
        Tell("Posūkių ribojimai pridėti sėkmingai.", MB_OK | MB_ICONINFORMATION);
    else
        Tell("Posūkių ribojimų nebuvo pridėta.", MB_OK | MB_ICONINFORMATION);
    return 1;
}
