#include "layers/DxfReader.h"

#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Stream.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string_view>

namespace {

constexpr size_t kChunk = 64 * 1024;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimmedView(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole signed integer, blanks around it allowed.
bool ParseCode(std::string_view line, int& code)
{
    std::string_view text = TrimmedView(line);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty())
        return false;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return false;
    }
    code = static_cast<int>(negative ? -value : value);
    return true;
}

// A finite number and nothing but blanks after it.
bool ParseNumber(std::string_view value, double& number)
{
    const std::string_view text = TrimmedView(value);
    size_t used = 0;
    number = ParseDoubleC(text, &used);
    return used > 0 && used == text.size() && std::isfinite(number);
}

// The names the reader tells apart; the first ones are the entity kinds.
enum Name : int {
    kNameText = CDxfEntity::kText,
    kNamePoint = CDxfEntity::kPoint,
    kNameLine = CDxfEntity::kLine,
    kNamePolyline = CDxfEntity::kPolyline,
    kNameLwPolyline = CDxfEntity::kLwPolyline,
    kNameCircle = CDxfEntity::kCircle,
    kNameArc = CDxfEntity::kArc,
    kNameSolid = CDxfEntity::kSolid,
    kNameVertex,
    kNameSeqEnd,
    kNameEndSec,
    kNameSection,
    kNameEof,
    kNameOther,
};

Name NameOf(std::string_view value)
{
    static const struct {
        std::string_view text;
        Name name;
    } kNames[] = {
        {"LINE", kNameLine},       {"VERTEX", kNameVertex},   {"LWPOLYLINE", kNameLwPolyline},
        {"TEXT", kNameText},       {"POINT", kNamePoint},     {"POLYLINE", kNamePolyline},
        {"SEQEND", kNameSeqEnd},   {"CIRCLE", kNameCircle},   {"ARC", kNameArc},
        {"SOLID", kNameSolid},     {"ENDSEC", kNameEndSec},   {"SECTION", kNameSection},
        {"EOF", kNameEof},
    };
    const std::string_view text = TrimmedView(value);
    for (const auto& entry : kNames)
        if (entry.text.size() == text.size() && EqualsNoCase1257(entry.text, text))
            return entry.name;
    return kNameOther;
}

bool EndsSection(Name name)
{
    return name == kNameEndSec || name == kNameSection || name == kNameEof;
}

bool ReadBy(Name name, CDxfReader::Pass pass)
{
    if (name == kNameText || name == kNamePoint)
        return pass == CDxfReader::kPoints;
    return name <= kNameSolid && pass == CDxfReader::kShapes;
}

// Angles brought into [0, 360) when an arc would go round more than once.
void NormalizeArc(double& start, double& end)
{
    if (end - start >= -360 && end - start <= 360)
        return;
    for (double* angle : {&start, &end}) {
        *angle = std::fmod(*angle, 360.0);
        if (*angle < 0)
            *angle += 360;
    }
}

bool HasFiniteExtent(const CShape& shape)
{
    const CMapRect& e = shape.GetExtent();
    return std::isfinite(e.left) && std::isfinite(e.right) && std::isfinite(e.top) && std::isfinite(e.bottom);
}

bool EndsMeet(const CShape& shape)
{
    const int n = shape.GetPointCount();
    return n >= 2 && shape.GetPoint(0) == shape.GetPoint(n - 1);
}

} // namespace

const char* CDxfEntity::KindName() const
{
    switch (kind) {
    case kText:
        return "TEXT";
    case kPoint:
        return "POINT";
    case kLine:
        return "LINE";
    case kPolyline:
    case kLwPolyline:
        return "POLYLINE";
    case kCircle:
        return "CIRCLE";
    case kArc:
        return "ARC";
    case kSolid:
        return "SOLID";
    }
    return "";
}

// What the pairs of one entity told, and the entity made of it.
class CDxfReader::CParse {
public:
    CParse(Name name, std::vector<CMapPoint>& vertices) : m_name(name), m_vertices(vertices) { m_vertices.clear(); }

    void Visit(int code, const std::string& value)
    {
        switch (code) {
        case 1:
            if (m_name == kNameText) {
                m_text = value;
                m_hasText = true;
            }
            return;
        case 8:
            m_layer = value;
            m_hasLayer = true;
            return;
        case 62:
            m_color = AtoiC(value);
            m_hasColor = true;
            return;
        case 70:
            m_flags = AtoiC(value);
            return;
        case 90:
            m_count = AtollC(value);
            return;
        case 40:
        case 50:
        case 51:
            if (m_name == kNameCircle || m_name == kNameArc)
                Number(value, code == 40 ? m_radius : code == 50 ? m_start : m_end);
            return;
        default:
            break;
        }
        if (code < 10 || code > 23 || code % 10 > 3)
            return;
        const int corner = code % 10;
        const int axis = code / 10 - 1;
        if (m_name == kNameLwPolyline) {
            if (corner == 0)
                AddVertexCoordinate(axis, value);
        } else if (m_name != kNamePolyline && corner < CornerCount()) {
            Number(value, m_corners[corner][axis]);
        }
    }

    // One VERTEX of a POLYLINE: its own pairs.
    void VisitVertex(int code, const std::string& value)
    {
        if (code == 10 || code == 20)
            Number(value, m_vertex[code / 10 - 1]);
    }
    void EndVertex()
    {
        if (m_vertex[0].has && m_vertex[1].has)
            m_vertices.emplace_back(m_vertex[0].value, m_vertex[1].value);
        else
            m_broken = true; // a polyline missing a vertex is no polyline
        m_vertex[0] = m_vertex[1] = CValue();
    }

    // False when the entity cannot be made.
    bool Make(CDxfEntity& entity)
    {
        if (m_broken)
            return false;
        entity.kind = static_cast<CDxfEntity::Kind>(m_name);
        entity.hasLayer = m_hasLayer;
        if (m_hasLayer)
            entity.layer = m_layer;
        entity.hasColor = m_hasColor;
        entity.color = m_color;
        entity.closed = false;
        const CValue* c = m_corners[0];
        switch (m_name) {
        case kNameText:
        case kNamePoint:
            if (!c[0].has || !c[1].has || (m_name == kNameText && !m_hasText))
                return false;
            entity.point = CMapPoint(c[0].value, c[1].value);
            entity.text = m_name == kNameText ? m_text : std::string();
            return true;
        case kNameLine:
            if (!HasCorners(2))
                return false;
            SetCorners(entity.shape, 2);
            entity.closed = EndsMeet(entity.shape);
            break;
        case kNameSolid:
            if (!HasCorners(3))
                return false;
            // A solid of three corners repeats the third.
            if (!HasCorners(4))
                m_corners[3][0] = m_corners[2][0], m_corners[3][1] = m_corners[2][1];
            SetCorners(entity.shape, 5);
            entity.closed = true;
            break;
        case kNameCircle:
            if (!c[0].has || !c[1].has || !m_radius.has ||
                !entity.shape.MakeCircle(CMapPoint(c[0].value, c[1].value), m_radius.value, kCurveStep))
                return false;
            entity.closed = true;
            break;
        case kNameArc: {
            if (!c[0].has || !c[1].has || !m_radius.has || !m_start.has || !m_end.has)
                return false;
            double start = m_start.value, end = m_end.value;
            NormalizeArc(start, end);
            if (!entity.shape.MakeArc(CMapPoint(c[0].value, c[1].value), m_radius.value, start, end, kCurveStep))
                return false;
            entity.closed = EndsMeet(entity.shape);
            break;
        }
        case kNamePolyline:
        case kNameLwPolyline:
            if (m_vertices.empty())
                return false;
            entity.shape.SetPoints(static_cast<int>(m_vertices.size()), m_vertices.data());
            if (m_flags & 1) {
                entity.shape.AddPoint(m_vertices.front());
                entity.closed = true;
            } else {
                entity.closed = EndsMeet(entity.shape);
            }
            break;
        default:
            return false;
        }
        return HasFiniteExtent(entity.shape);
    }

private:
    struct CValue {
        double value = 0;
        bool has = false;
    };

    void Number(const std::string& value, CValue& target)
    {
        target.has = ParseNumber(value, target.value);
        m_broken = m_broken || !target.has;
    }

    void AddVertexCoordinate(int axis, const std::string& value)
    {
        // Vertices past the stated count are not the polyline's.
        if (m_count > 0 && static_cast<long long>(m_vertices.size()) >= m_count)
            return;
        Number(value, m_vertex[axis]);
        if (axis == 1 && m_vertex[0].has) {
            m_vertices.emplace_back(m_vertex[0].value, m_vertex[1].value);
            m_vertex[0] = CValue();
        }
    }

    // The points of groups 10 to 13 the kind has (a polyline's come apart).
    int CornerCount() const { return m_name == kNameSolid ? 4 : m_name == kNameLine ? 2 : 1; }

    bool HasCorners(int n) const
    {
        for (int k = 0; k < n; ++k)
            if (!m_corners[k][0].has || !m_corners[k][1].has)
                return false;
        return true;
    }

    // The first n corners; a fifth is the first again.
    void SetCorners(CShape& shape, int n) const
    {
        CMapPoint points[5];
        for (int k = 0; k < n; ++k)
            points[k] = CMapPoint(m_corners[k % 4][0].value, m_corners[k % 4][1].value);
        shape.SetPoints(n, points);
    }

    Name m_name;
    std::vector<CMapPoint>& m_vertices;
    std::string m_text, m_layer;
    bool m_hasText = false, m_hasLayer = false, m_hasColor = false;
    int m_color = 0;
    int m_flags = 0;
    long long m_count = 0;
    CValue m_corners[4][2]; // groups 10 to 13 and 20 to 23
    CValue m_radius, m_start, m_end;
    CValue m_vertex[2];
    bool m_broken = false;
};

CDxfReader::CDxfReader(CStream& stream) : m_stream(stream), m_buffer(kChunk) {}

// ---------------------------------------------------------------- lines

bool CDxfReader::Fill()
{
    m_bufferStart += static_cast<int64_t>(m_end);
    m_pos = m_end = 0;
    if (m_streamFailed)
        return false;
    m_end = m_stream.Read(m_buffer.data(), m_buffer.size());
    return m_end > 0;
}

bool CDxfReader::ReadLine(std::string& line)
{
    line.clear();
    size_t length = 0;
    bool any = false;
    char last = 0;
    for (;;) {
        if (m_pos == m_end && !Fill()) {
            if (!any)
                return false;
            break;
        }
        any = true;
        const char* start = m_buffer.data() + m_pos;
        const size_t available = m_end - m_pos;
        const char* newline = static_cast<const char*>(std::memchr(start, '\n', available));
        const size_t take = newline ? static_cast<size_t>(newline - start) : available;
        // One character more than is kept, to tell a CR that ends the kept part.
        if (line.size() <= kMaxValue)
            line.append(start, std::min(take, kMaxValue + 1 - line.size()));
        if (take > 0)
            last = start[take - 1];
        length += take;
        m_pos += take;
        if (newline) {
            ++m_pos;
            break;
        }
    }
    const size_t content = length - (last == '\r' ? 1 : 0);
    line.resize(std::min(content, kMaxValue));
    return true;
}

CDxfReader::Result CDxfReader::ReadPair(int& code, std::string& value)
{
    if (!ReadLine(m_codeLine))
        return kEnd;
    if (!ParseCode(m_codeLine, code))
        return kBadCode;
    // A code without its value line is where the file was cut.
    return ReadLine(value) ? kFound : kEnd;
}

CDxfReader::CPosition CDxfReader::GetPosition() const
{
    CPosition position;
    position.offset = m_bufferStart + static_cast<int64_t>(m_pos);
    position.pending = m_pending;
    position.hasPending = m_hasPending;
    position.ended = m_ended;
    return position;
}

void CDxfReader::SetPosition(const CPosition& position)
{
    m_pending = position.pending;
    m_hasPending = position.hasPending;
    m_ended = position.ended;
    if (position.offset >= m_bufferStart && position.offset <= m_bufferStart + static_cast<int64_t>(m_end)) {
        m_pos = static_cast<size_t>(position.offset - m_bufferStart);
        return;
    }
    m_streamFailed = !m_stream.Seek(position.offset);
    m_bufferStart = position.offset;
    m_pos = m_end = 0;
}

// --------------------------------------------------------------- entities

template <class Visit>
CDxfReader::Result CDxfReader::ReadBody(Visit visit)
{
    for (;;) {
        int code = 0;
        const Result result = ReadPair(code, m_value);
        if (result == kBadCode)
            return kBadCode;
        if (result == kEnd) {
            m_ended = true;
            return kEnd;
        }
        if (code == 0) {
            m_pending.swap(m_value);
            m_hasPending = true;
            return kFound;
        }
        visit(code, m_value);
    }
}

CDxfReader::Result CDxfReader::ReadBody()
{
    return ReadBody([](int, const std::string&) {});
}

CDxfReader::Result CDxfReader::FindEntities()
{
    m_streamFailed = !m_stream.Seek(0);
    m_bufferStart = 0;
    m_pos = m_end = 0;
    m_hasPending = m_ended = false;
    bool afterSection = false;
    for (;;) {
        int code = 0;
        const Result result = ReadPair(code, m_value);
        if (result != kFound) {
            m_ended = true;
            return result;
        }
        if (afterSection && code == 2 && EqualsNoCase1257(TrimmedView(m_value), "ENTITIES"))
            return kFound;
        afterSection = code == 0 && NameOf(m_value) == kNameSection;
        if (code == 0 && NameOf(m_value) == kNameEof) {
            m_ended = true;
            return kEnd;
        }
    }
}

CDxfReader::Result CDxfReader::ReadVertices(CParse& parse)
{
    while (!m_ended && m_hasPending) {
        const Name name = NameOf(m_pending);
        if (name != kNameVertex && name != kNameSeqEnd)
            return kFound; // a polyline without its SEQEND ends before the next entity
        m_hasPending = false;
        if (name == kNameSeqEnd)
            return ReadBody();
        const Result result = ReadBody([&](int code, const std::string& value) { parse.VisitVertex(code, value); });
        if (result == kBadCode)
            return kBadCode;
        parse.EndVertex();
    }
    return kFound;
}

CDxfReader::Result CDxfReader::Next(Pass pass, CDxfEntity& entity)
{
    for (;;) {
        if (m_ended)
            return kEnd;
        // Pairs before the first entity belong to none.
        if (!m_hasPending && ReadBody() != kFound)
            return m_ended ? kEnd : kBadCode;
        m_hasPending = false;
        const Name name = NameOf(m_pending);
        if (EndsSection(name)) {
            m_ended = true;
            return kEnd;
        }
        if (!ReadBy(name, pass)) {
            if (ReadBody() == kBadCode)
                return kBadCode;
            continue;
        }
        CParse parse(name, m_vertices);
        if (ReadBody([&](int code, const std::string& value) { parse.Visit(code, value); }) == kBadCode)
            return kBadCode;
        if (name == kNamePolyline && ReadVertices(parse) == kBadCode)
            return kBadCode;
        if (parse.Make(entity))
            return kFound;
    }
}
