#include "geoproc/LineTopology.h"

#include "core/SegmentPairs.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/ShapeBoxIndex.h"
#include "geoproc/TopologyFix.h"
#include "geoproc/TopologyRules.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

constexpr char kSuffix[] = "_topo";
constexpr char kTooManyNodes[] = "Mazgų daugiau nei %d: jų numeriai netelpa į laukus Fnode_ ir Tnode_.";
// Nearly closed lines: ends closer than this in map units are already one.
constexpr double kClosedGap = 1e-8;
// A piece from a node back to it shorter than this is no link.
constexpr double kMinLoopKm = 1e-15;

enum LinkField { kLinkId, kFromNode, kToNode, kLength };

CMapRect Widened(const CMapRect& box, double dx, double dy)
{
    return CMapRect(box.left - dx, box.top + dy, box.right + dx, box.bottom - dy);
}

bool Inside(const CMapRect& box, const CMapPoint& p)
{
    return p.x >= box.left && p.x <= box.right && p.y >= box.bottom && p.y <= box.top;
}

// The end of the line at index, joined to the other line when it is near.
bool JoinEnd(CShapeArray& shapes, CShapeBoxIndex& index, int line, int end, int other, const CMapRect& otherBox,
             const CTopologyTolerance& tolerance)
{
    CShape& shape = *shapes[line];
    const CMapPoint p = shape.GetPoint(end);
    CMapPoint joined;
    if (!Inside(otherBox, p) || !SnapPointToLine(*shapes[other], p, tolerance, joined))
        return false;
    if (joined != p) {
        shape.Points()[end] = joined;
        shape.RecalcBounds();
        index.Moved(line);
    }
    return true;
}

// Ends of lines joined to the lines they nearly touch, each pair once
// from the earlier line, and nearly closed lines closed.
void JoinLineEnds(CShapeArray& shapes, CShapeBoxIndex& index, const CTopologyTolerance& tolerance)
{
    const double tx = tolerance.tx, ty = tolerance.ty;
    std::vector<int> hits;
    for (int i = 0; i < shapes.GetSize(); ++i) {
        CShape& line = *shapes[i];
        if (line.GetPointCount() == 0)
            continue;
        // Its ends may still move by the tolerance while it is worked on.
        index.Query(Widened(line.GetExtent(), 2 * tx, 2 * ty), hits);
        bool firstJoined = false, lastJoined = false;
        for (int j : hits) {
            CShape& other = *shapes[j];
            if (j <= i || other.GetPointCount() == 0)
                continue;
            const CMapRect lineBox = Widened(line.GetExtent(), tx, ty);
            if (!ExtentsMeet(other.GetExtent(), lineBox))
                continue;
            const CMapRect otherBox = Widened(other.GetExtent(), tx, ty);
            if (!firstJoined)
                firstJoined = JoinEnd(shapes, index, i, 0, j, otherBox, tolerance);
            if (!lastJoined)
                lastJoined = JoinEnd(shapes, index, i, line.GetPointCount() - 1, j, otherBox, tolerance);
            // The other line's ends, as often as they come near.
            JoinEnd(shapes, index, j, 0, i, Widened(line.GetExtent(), tx, ty), tolerance);
            JoinEnd(shapes, index, j, other.GetPointCount() - 1, i, Widened(line.GetExtent(), tx, ty), tolerance);
        }
        const CMapPoint first = line.GetPoint(0);
        CMapPoint& last = line.Points()[line.GetPointCount() - 1];
        const double dx = std::fabs(last.x - first.x), dy = std::fabs(last.y - first.y);
        if (dx < tx && dy < ty && (dx > kClosedGap || dy > kClosedGap) &&
            tolerance.SquaredMetres(first, last) < tolerance.metres * tolerance.metres) {
            last = first;
            line.RecalcBounds();
            index.Moved(i);
        }
    }
}

// What a numeric field of that width and decimals holds at most.
long FieldCapacity(int width, int decimals)
{
    const int digits = std::min(width - (decimals > 0 ? decimals + 1 : 0), 9);
    long capacity = 0;
    for (int d = 0; d < digits; ++d)
        capacity = capacity * 10 + 9;
    return capacity;
}

// Part `part` of the shape; the shape itself when it has one part.
const CShape& PieceOf(const CShape& shape, int part, CShape& piece)
{
    if (shape.GetPartCount() == 1)
        return shape;
    shape.GetPart(part, piece);
    return piece;
}

// The link file's fields: with a source table its fields, then the link
// fields it lacks.
std::vector<CDbfFieldInfo> LinkTableFields(const std::vector<CDbfFieldInfo>& source)
{
    std::vector<CDbfFieldInfo> fields;
    for (const CDbfFieldInfo& field : source)
        if (field.length > 0)
            fields.push_back(field);
    const size_t own = fields.size();
    for (const CLinkField& link : kLinkFields) {
        const bool present = std::any_of(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(own),
                                         [&](const CDbfFieldInfo& f) { return EqualsNoCase1257(f.name, link.name); });
        if (!present)
            fields.push_back(CDbfFieldInfo().Set(link.name, 'N', static_cast<unsigned>(link.width), 0));
    }
    fields.push_back(CDbfFieldInfo().Set("", 0, 0, 0));
    return fields;
}

// Writes the links into the new file; kFailed after a message when a
// node number would not fit.
EOperationEnd WriteLinks(CLayer& layer, const std::string& path, const CShapeArray& shapes,
                         const std::vector<int32_t>* records, const std::vector<CTopologyLink>& links,
                         IProgress* progress)
{
    CLayerReader reader;
    CFeatureSource* from = nullptr;
    if (records) {
        if (!reader.OpenLayer(&layer))
            return EOperationEnd::kFailed;
        from = reader.GetSource();
        if (!from->GetTable().IsOpen())
            from = nullptr;
    }
    const std::vector<CDbfFieldInfo> fields = LinkTableFields(from ? from->GetFieldInfos() : std::vector<CDbfFieldInfo>{});
    // Node numbers must fit both node fields, whatever their width.
    int highest = 0;
    for (const CTopologyLink& link : links)
        highest = std::max({highest, link.fromNode, link.toNode});
    long capacity = LONG_MAX;
    for (const CDbfFieldInfo& field : fields)
        if (EqualsNoCase1257(field.name, kLinkFields[kFromNode].name) ||
            EqualsNoCase1257(field.name, kLinkFields[kToNode].name))
            capacity = std::min(capacity, FieldCapacity(field.length, field.decimals));
    if (highest > capacity) {
        AppMessageBox(Utf8ToCp1257(FormatC(kTooManyNodes, static_cast<int>(capacity))), MB_OK | MB_ICONWARNING);
        return EOperationEnd::kFailed;
    }

    CGdbSource target;
    if (!target.Create(path, CFeatureSource::kLine, fields.data()))
        return EOperationEnd::kFailed;
    CDbfTable& table = target.GetTable();
    int column[4];
    for (int f = 0; f < 4; ++f)
        column[f] = table.FindField(kLinkFields[f].name);
    const bool ownLinkId = !from || from->GetTable().FindField(kLinkFields[kLinkId].name) < 0;

    if (progress) {
        progress->SetRange(0, std::max(static_cast<int>(links.size()), 1));
        progress->SetStep(1);
        progress->SetPos(0);
    }
    target.BeginWrites();
    CShape piece;
    int written = 0;
    for (const CTopologyLink& link : links) {
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel())
                return EOperationEnd::kCancelled;
        }
        const CShape& shape = *shapes[link.shape];
        if (!target.AppendShape(PieceOf(shape, link.part, piece), false))
            return EOperationEnd::kFailed;
        ++written;
        if (from) {
            if (!from->GetRecordTable((*records)[static_cast<size_t>(link.shape)]))
                return EOperationEnd::kFailed;
            from->CopyAttributesTo(table);
        }
        // A value the field cannot hold would be stored as asterisks.
        if ((ownLinkId && !table.SetFieldLong(column[kLinkId], written)) ||
            !table.SetFieldLong(column[kFromNode], link.fromNode) ||
            !table.SetFieldLong(column[kToNode], link.toNode) ||
            !table.SetFieldDouble(column[kLength], link.lengthKm * 1000) || !table.WriteRecord())
            return EOperationEnd::kFailed;
    }
    if (!target.EndWrites())
        return EOperationEnd::kFailed;
    target.Close();
    return target.GetError() == CFeatureSource::kNoError ? EOperationEnd::kDone : EOperationEnd::kFailed;
}

} // namespace

CTopologyTolerance CTopologyTolerance::Of(const CDrelDoc& document, double metres)
{
    CTopologyTolerance tolerance;
    tolerance.metres = metres;
    document.GetMetresPerUnit(tolerance.mx, tolerance.my);
    if (!(tolerance.mx > 0) || !std::isfinite(tolerance.mx))
        tolerance.mx = 1;
    if (!(tolerance.my > 0) || !std::isfinite(tolerance.my))
        tolerance.my = 1;
    tolerance.tx = metres / tolerance.mx;
    tolerance.ty = metres / tolerance.my;
    return tolerance;
}

CMapRect CTopologyTolerance::Box(const CMapPoint& centre) const
{
    return CMapRect(centre.x - tx, centre.y + ty, centre.x + tx, centre.y - ty);
}

bool CTopologyTolerance::InBox(const CMapPoint& centre, const CMapPoint& p) const
{
    return std::fabs(p.x - centre.x) <= tx && std::fabs(p.y - centre.y) <= ty;
}

double CTopologyTolerance::SquaredMetres(const CMapPoint& a, const CMapPoint& b) const
{
    const double dx = (a.x - b.x) * mx, dy = (a.y - b.y) * my;
    return dx * dx + dy * dy;
}

size_t CNodeNumbers::Hash::operator()(const CMapPoint& p) const
{
    // -0.0 + 0.0 is 0.0: both zeros are one place.
    const uint64_t x = std::bit_cast<uint64_t>(p.x + 0.0), y = std::bit_cast<uint64_t>(p.y + 0.0);
    uint64_t h = x * 0x9E3779B97F4A7C15ull;
    h ^= (y + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2)) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(h ^ (h >> 29));
}

int CNodeNumbers::Lookup(const CMapPoint& point)
{
    // No place equals one that is not a number, not even itself.
    if (std::isnan(point.x) || std::isnan(point.y))
        return ++m_count;
    const auto [at, added] = m_numbers.try_emplace(point, m_count + 1);
    if (added)
        ++m_count;
    return at->second;
}

int SnapPointToLine(CShape& line, const CMapPoint& point, const CTopologyTolerance& tolerance, CMapPoint& joined)
{
    int start = 0;
    CMapPoint nearest;
    if (!line.HitTestSegment(point, tolerance.tx + tolerance.ty, -1, start, &nearest) ||
        !tolerance.InBox(point, nearest))
        return 0;
    const CMapPoint s = line.GetPoint(start);
    const int part = line.PartFromPoint(start);
    const int partEnd = line.GetPartStart(part) + line.GetPartSize(part) - 1;
    if (nearest == s || start >= partEnd) {
        joined = nearest;
        return 1;
    }
    const CMapPoint e = line.GetPoint(start + 1);
    const bool endFarther = tolerance.SquaredMetres(point, e) > tolerance.SquaredMetres(point, s);
    if (endFarther && tolerance.InBox(point, s)) {
        joined = s;
        return 1;
    }
    if (!endFarther && tolerance.InBox(point, e)) {
        joined = e;
        return 1;
    }
    line.InsertPoint(start + 1, nearest);
    joined = nearest;
    return 1;
}

EOperationEnd NodeLines(CDrelDoc& document, CShapeArray& shapes, double tolerance, bool addCrossings,
                        IProgress* progress)
{
    if (tolerance > 0) {
        CTopologyFixCounts counts;
        const EOperationEnd fixed = FixTopology(document, tolerance, addCrossings, shapes, nullptr, counts, progress);
        if (fixed != EOperationEnd::kDone)
            return fixed;
    }
    CShapeBoxIndex index;
    if (!index.Build(shapes))
        return EOperationEnd::kFailed;
    if (tolerance > 0) {
        JoinLineEnds(shapes, index, CTopologyTolerance::Of(document, tolerance));
        // The ends moved: each line is found where it is now.
        if (!index.Build(shapes))
            return EOperationEnd::kFailed;
    }
    for (int i = 0; i < shapes.GetSize(); ++i)
        if (shapes[i]->GetPartCount() > 1)
            shapes[i]->SplitAtSelfIntersections();
    const int count = shapes.GetSize();
    if (progress) {
        progress->SetRange(0, std::max(count - 1, 0));
        progress->SetStep(1);
        progress->SetPos(0);
    }
    std::vector<int> hits;
    for (int j = 0; j + 1 < count; ++j) {
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel())
                return EOperationEnd::kCancelled;
        }
        index.Query(shapes[j]->GetExtent(), hits);
        for (int k : hits)
            if (k > j)
                shapes[j]->SplitAtIntersections(*shapes[k], true, 0, addCrossings);
    }
    return EOperationEnd::kDone;
}

void NumberLinks(const CDrelDoc& document, const CShapeArray& shapes, CNodeNumbers& nodes,
                 std::vector<CTopologyLink>& links)
{
    CShape piece;
    for (int s = 0; s < shapes.GetSize(); ++s) {
        const CShape& shape = *shapes[s];
        for (int part = 0, first = 0; part < shape.GetPartCount(); ++part) {
            const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - first);
            if (size <= 0)
                continue;
            CTopologyLink link;
            link.shape = s;
            link.part = part;
            link.fromNode = nodes.Lookup(shape.GetPoint(first));
            link.toNode = nodes.Lookup(shape.GetPoint(first + size - 1));
            link.lengthKm = document.GetShapeLengthKm(PieceOf(shape, part, piece));
            first += size;
            if (link.fromNode == link.toNode && !(link.lengthKm >= kMinLoopKm))
                continue;
            links.push_back(link);
        }
    }
}

EOperationEnd BuildTopology(CLayer& layer, CDrelDoc& document, const std::string& path,
                            const CTopologyOptions& options)
{
    CShapeArray shapes;
    std::vector<int32_t> records;
    std::vector<int32_t>* withRecords = options.copyFields ? &records : nullptr;
    if (layer.GetType() != CLayer::kLine || !LoadShapesIndexed(layer, shapes, withRecords, nullptr))
        return EOperationEnd::kFailed;
    std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
    const EOperationEnd noded =
        NodeLines(document, shapes, options.tolerance, options.addCrossings != 0, progress.get());
    if (noded != EOperationEnd::kDone)
        return noded;
    CNodeNumbers nodes;
    std::vector<CTopologyLink> links;
    NumberLinks(document, shapes, nodes, links);
    return WriteLinks(layer, path, shapes, withRecords, links, progress.get());
}

int CreateTopology(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    if (layer.HasFlag(CLayer::kGroup) || layer.GetType() != CLayer::kLine)
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, kSuffix), CLayer::kLine, choice))
        return 0;
    CTopologyOptions options = CTopologyRules::Last();
    if (!GeoprocDialogs().AskTopology(options) || !CTopologyRules::Accepts(options.tolerance))
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    if (!result.End(BuildTopology(layer, document, result.GetWritePath(), options)))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}
