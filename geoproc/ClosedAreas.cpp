#include "geoproc/ClosedAreas.h"

#include "core/MapGeometry.h"
#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/ShapeBoxIndex.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

enum ClosedAreasMessage : int {
    kNoTopology = 1079,
    kMergeNeighbours = 2016,
};

constexpr char kSuffix[] = "_polyg";
// The block left after the streets is simplified within this many metres.
constexpr double kBlockTolerance = 0.5;
constexpr double kArcStep = 10;

// A ring walked by the tracing, with its street zones in the street mode.
struct CTracedRing {
    CShape ring;
    CShape streets;
    double area = 0;
};

int Twin(int edge)
{
    return edge ^ 1;
}

// The first point after `from` (stepping by step) that differs from the
// point at `from`; false when every point equals it.
bool DirectionFrom(const CShape& line, int from, int step, double& dx, double& dy)
{
    const CMapPoint origin = line.GetPoint(from);
    for (int i = from + step; i >= 0 && i < line.GetPointCount(); i += step) {
        const CMapPoint p = line.GetPoint(i);
        if (p != origin) {
            dx = p.x - origin.x;
            dy = p.y - origin.y;
            return true;
        }
    }
    return false;
}

// The half-edge before `edge` in the ring around its node.
int Previous(const std::vector<CHalfEdge>& edges, int edge)
{
    int previous = edge;
    while (edges[static_cast<size_t>(previous)].next != edge)
        previous = edges[static_cast<size_t>(previous)].next;
    return previous;
}

// Removes dead ends: a half-edge alone at its node takes its line away,
// and the other end's node may be left with a single half-edge in turn.
// A work list instead of recursion, as a dangling chain may be long.
void PruneDeadEnds(std::vector<CHalfEdge>& edges)
{
    std::vector<int> work;
    for (int i = 0; i < static_cast<int>(edges.size()); ++i)
        if (edges[static_cast<size_t>(i)].next == i)
            work.push_back(i);
    while (!work.empty()) {
        const int edge = work.back();
        work.pop_back();
        CHalfEdge& alone = edges[static_cast<size_t>(edge)];
        if (alone.line < 0 || alone.next != edge)
            continue;
        for (const int removed : {edge, Twin(edge)}) {
            CHalfEdge& half = edges[static_cast<size_t>(removed)];
            const int next = half.next;
            if (next != removed) {
                edges[static_cast<size_t>(Previous(edges, removed))].next = next;
                if (edges[static_cast<size_t>(next)].next == next)
                    work.push_back(next);
            }
            half.line = -1;
            half.visited = true;
            half.next = removed;
        }
    }
}

// The line of the half-edge as walked from its node.
void AppendLine(CShape& ring, const CShape& line, bool reversed)
{
    CShape piece;
    piece.Copy(line);
    if (reversed)
        piece.Reverse();
    if (ring.GetPointCount() == 0)
        ring.Copy(piece);
    else
        ring.Append(piece, false);
}

// Unites the shapes one by one; false when an overlay could not be done.
bool UniteInto(CShape& united, const CShape& shape)
{
    if (shape.GetPointCount() == 0)
        return true;
    if (united.GetPointCount() == 0) {
        united.Copy(shape);
        return true;
    }
    CShape out;
    if (!united.Union(shape, out))
        return false;
    united = std::move(out);
    return true;
}

// The street zones of the ring's lines and the corners between them.
bool AddStreetZones(const std::vector<CHalfEdge>& edges, const std::vector<int>& walked, const CShapeArray& lines,
                    const CStreetWidths& widths, CShape& streets)
{
    for (size_t i = 0; i < walked.size(); ++i) {
        const CHalfEdge& edge = edges[static_cast<size_t>(walked[i])];
        if (edge.width > 0) {
            CShape zone;
            if (!lines[edge.line]->Buffer(edge.width / 2, widths.mx, widths.my, zone, CShape::kBufferFlatEnds) ||
                !UniteInto(streets, zone))
                return false;
        }
        const CHalfEdge& back = edges[static_cast<size_t>(Twin(walked[i]))];
        const CHalfEdge& following = edges[static_cast<size_t>(walked[(i + 1) % walked.size()])];
        const CShape& line = *lines[back.line];
        const CMapPoint node = line.GetPoint(back.end ? line.GetPointCount() - 1 : 0);
        CShape corner;
        if (MakeCornerPiece(node, {back.dx, back.dy}, {following.dx, following.dy}, back.width / 2,
                            following.width / 2, widths.mx, widths.my, corner) &&
            !UniteInto(streets, corner))
            return false;
    }
    return true;
}

// Whether the outline lies inside the face: a vertex of it strictly inside.
bool HoldsOutline(const CTracedRing& face, const CTracedRing& outline)
{
    const CMapRect& outer = face.ring.GetExtent();
    const CMapRect& inner = outline.ring.GetExtent();
    if (!(-face.area > outline.area) || inner.left < outer.left || inner.right > outer.right ||
        inner.bottom < outer.bottom || inner.top > outer.top)
        return false;
    for (int i = 0; i < outline.ring.GetPointCount(); ++i) {
        const int where = face.ring.PointInPolygon(outline.ring.GetPoint(i));
        if (where != 2)
            return where == 1;
    }
    return false;
}

// Each part of the network inside a face becomes a hole of the smallest
// face that holds it, its streets joining the face's. The faces are found
// by their boxes, as a network may have many parts.
bool AddHoles(std::vector<CTracedRing>& rings, bool streetMode)
{
    CShapeArray faces;
    std::vector<size_t> faceRings;
    bool outlines = false;
    for (size_t i = 0; i < rings.size(); ++i) {
        if (rings[i].area < 0) {
            faces.AddCopy(rings[i].ring);
            faceRings.push_back(i);
        } else {
            outlines = true;
        }
    }
    if (!outlines || faceRings.empty())
        return true;
    CShapeBoxIndex index;
    if (!index.Build(faces))
        return false;
    std::vector<int> hits;
    for (const CTracedRing& outline : rings) {
        if (outline.area <= 0)
            continue;
        index.Query(outline.ring.GetExtent(), hits);
        CTracedRing* holder = nullptr;
        for (const int hit : hits) {
            CTracedRing& face = rings[faceRings[static_cast<size_t>(hit)]];
            if (HoldsOutline(face, outline) && (!holder || face.area > holder->area))
                holder = &face;
        }
        if (!holder)
            continue;
        holder->ring.AppendParts(outline.ring);
        if (streetMode && !UniteInto(holder->streets, outline.streets))
            return false;
    }
    return true;
}

// The block and street surface of a face in the street mode.
bool WriteBlock(const CTracedRing& face, int number, const CStreetWidths& widths, CAreaWriter* blocks,
                CAreaWriter* streetAreas)
{
    CShape block;
    if (face.streets.GetPointCount() == 0)
        block.Copy(face.ring);
    else
        face.ring.Subtract(face.streets, block);
    if (block.GetPointCount() > 0) {
        block.RemoveSmallParts(0);
        block.Generalize(kBlockTolerance, widths.mx, widths.my, 0);
        block.RemoveSmallParts(0);
    }
    const bool hasBlock = block.GetPointCount() > 2;
    if (blocks && hasBlock && !blocks->Write(block, number))
        return false;
    if (!streetAreas)
        return true;
    CShape surface;
    if (!hasBlock)
        surface.Copy(face.ring);
    else
        face.ring.Subtract(block, surface);
    return surface.GetPointCount() < 3 || streetAreas->Write(surface, number);
}

// The node fields of the table: the names with the underscore, else those
// without it.
int FindNodeField(const CDbfTable& table, const char* name, const char* fallback)
{
    const int field = table.FindField(name);
    return field >= 0 ? field : table.FindField(fallback);
}

} // namespace

struct CAreaWriter::CState {
    CGdbSource target;
    int idField = -1;
    bool failed = false;
};

CAreaWriter::CAreaWriter() = default;
CAreaWriter::~CAreaWriter() = default;

bool CAreaWriter::Create(const std::string& path)
{
    m_state = std::make_unique<CState>();
    if (!m_state->target.Create(path, CFeatureSource::kArea, nullptr))
        return false;
    m_state->idField = m_state->target.GetTable().FindField("ID");
    m_state->target.BeginWrites();
    return true;
}

bool CAreaWriter::Write(const CShape& area, int id)
{
    if (!m_state || m_state->failed)
        return false;
    CDbfTable& table = m_state->target.GetTable();
    if (!m_state->target.AppendShape(area, false) || !table.SetFieldLong(m_state->idField, id) ||
        !table.WriteRecord())
        m_state->failed = true;
    return !m_state->failed;
}

bool CAreaWriter::Close()
{
    if (!m_state)
        return false;
    if (!m_state->target.EndWrites())
        m_state->failed = true;
    m_state->target.Close();
    return !m_state->failed && m_state->target.GetError() == CFeatureSource::kNoError;
}

void BuildHalfEdges(const CShapeArray& lines, const std::vector<int>& fromNodes, const std::vector<int>& toNodes,
                    const std::vector<double>* widths, std::vector<CHalfEdge>& edges)
{
    edges.clear();
    for (int i = 0; i < lines.GetSize(); ++i) {
        const CShape& line = *lines[i];
        const int count = line.GetPointCount();
        if (line.GetPartCount() != 1 || count < 2 ||
            !std::all_of(line.Points().begin(), line.Points().end(), [](const CMapPoint& p) { return p.IsFinite(); }))
            continue;
        CHalfEdge start, end;
        if (!DirectionFrom(line, 0, 1, start.dx, start.dy) || !DirectionFrom(line, count - 1, -1, end.dx, end.dy))
            continue;
        start.node = fromNodes[static_cast<size_t>(i)];
        end.node = toNodes[static_cast<size_t>(i)];
        start.line = end.line = i;
        end.end = true;
        start.width = end.width = widths ? (*widths)[static_cast<size_t>(i)] : 0;
        edges.push_back(start);
        edges.push_back(end);
    }
}

int MakeCornerPiece(const CMapPoint& node, const CMapPoint& back, const CMapPoint& next, double halfWidth,
                    double nextHalfWidth, double mx, double my, CShape& out)
{
    if (!(halfWidth > 0) || !(nextHalfWidth > 0) || !(mx > 0) || !(my > 0))
        return 0;
    // In metres from here on.
    const double bx = back.x * mx, by = back.y * my, nx = next.x * mx, ny = next.y * my;
    const double backLength = std::hypot(bx, by), nextLength = std::hypot(nx, ny);
    if (!(backLength > 0) || !(nextLength > 0) || !std::isfinite(backLength) || !std::isfinite(nextLength))
        return 0;
    const double backDegrees = std::atan2(by, bx) * kRadToDeg;
    const double nextDegrees = std::atan2(ny, nx) * kRadToDeg;
    // The face's corner, clockwise from the next street to the back one.
    double corner = std::fmod(nextDegrees - backDegrees, 360.0);
    if (corner < 0)
        corner += 360;
    const double angle = corner - 90;
    if (angle <= 90)
        return 0;
    const double smaller = std::min(halfWidth, nextHalfWidth), larger = std::max(halfWidth, nextHalfWidth);
    const bool equal = smaller == larger;
    if (!equal && !(angle > 90 + std::asin(smaller / larger) * kRadToDeg))
        return 0;
    // The flat ends' outer corners: the current street's on the left of
    // the back direction, the next one's on the right of its direction.
    const double ux = bx / backLength, uy = by / backLength, vx = nx / nextLength, vy = ny / nextLength;
    const CMapPoint endA(-uy * halfWidth, ux * halfWidth);
    const CMapPoint endB(vy * nextHalfWidth, -vx * nextHalfWidth);
    std::vector<CMapPoint> metres{{0, 0}, endA};
    if (equal) {
        // Counter-clockwise from the current end to the next one, round
        // the node through the open wedge.
        const double from = std::atan2(endA.y, endA.x) * kRadToDeg;
        const double sweep = corner - 180;
        for (double step = kArcStep; step < sweep - 1e-9; step += kArcStep) {
            const double a = (from + step) * kDegToRad;
            metres.emplace_back(halfWidth * std::cos(a), halfWidth * std::sin(a));
        }
    } else {
        // Where the outer edges meet: endA + t·u = endB + s·v, both ahead
        // of their flat ends (t and s not above 0) and not too far.
        const double det = vx * uy - ux * vy;
        const double rx = endB.x - endA.x, ry = endB.y - endA.y;
        CMapPoint meet;
        bool found = false;
        if (std::fabs(det) > 1e-12) {
            const double t = (vx * ry - vy * rx) / det, s = (ux * ry - uy * rx) / det;
            meet = CMapPoint(endA.x + t * ux, endA.y + t * uy);
            found = t <= 0 && s <= 0 && std::hypot(meet.x, meet.y) <= 4 * larger;
        }
        if (!found) {
            const double cx = endA.x / halfWidth + endB.x / nextHalfWidth;
            const double cy = endA.y / halfWidth + endB.y / nextHalfWidth;
            const double length = std::hypot(cx, cy);
            if (!(length > 0))
                return 0;
            meet = CMapPoint(cx / length * larger, cy / length * larger);
        }
        metres.push_back(meet);
    }
    metres.push_back(endB);
    std::vector<CMapPoint> points;
    for (const CMapPoint& p : metres)
        points.emplace_back(node.x + p.x / mx, node.y + p.y / my);
    out.SetPoints(static_cast<int>(points.size()), points.data());
    return 1;
}

EOperationEnd TraceFaces(std::vector<CHalfEdge>& edges, const CShapeArray& lines, CAreaWriter* areas,
                         bool mergeNeighbours, CAreaWriter* streetAreas, const CStreetWidths* widths,
                         IProgress* progress)
{
    const int count = static_cast<int>(edges.size());
    if (count == 0)
        return EOperationEnd::kDone;
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    // Equal directions keep their record order: the same faces every run.
    std::stable_sort(order.begin(), order.end(), [&edges](int a, int b) {
        const CHalfEdge &ea = edges[static_cast<size_t>(a)], &eb = edges[static_cast<size_t>(b)];
        if (ea.node != eb.node)
            return ea.node < eb.node;
        return CompareVectorAngles(ea.dx, ea.dy, eb.dx, eb.dy) < 0;
    });
    for (int i = 0; i < count;) {
        int group = i + 1;
        while (group < count &&
               edges[static_cast<size_t>(order[static_cast<size_t>(group)])].node ==
                   edges[static_cast<size_t>(order[static_cast<size_t>(i)])].node)
            ++group;
        for (int k = i; k < group; ++k)
            edges[static_cast<size_t>(order[static_cast<size_t>(k)])].next =
                order[static_cast<size_t>(k == i ? group - 1 : k - 1)];
        i = group;
    }
    if (!widths)
        PruneDeadEnds(edges);
    if (progress) {
        progress->SetRange(0, count);
        progress->SetStep(1);
        progress->SetPos(0);
    }

    std::vector<CTracedRing> rings;
    EOperationEnd end = EOperationEnd::kDone;
    std::vector<int> walked;
    for (const int h : order) {
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel()) {
                end = EOperationEnd::kCancelled;
                break;
            }
        }
        if (edges[static_cast<size_t>(h)].visited)
            continue;
        CTracedRing traced;
        walked.clear();
        for (int edge = h, steps = 0; steps < count; ++steps) {
            CHalfEdge& half = edges[static_cast<size_t>(edge)];
            half.visited = true;
            walked.push_back(edge);
            AppendLine(traced.ring, *lines[half.line], half.end);
            edge = edges[static_cast<size_t>(Twin(edge))].next;
            if (edge == h)
                break;
        }
        traced.ring.RecalcBounds();
        traced.area = SignedRingArea(traced.ring.Points().GetData(), traced.ring.GetPointCount());
        if (traced.area == 0 || (mergeNeighbours && traced.area < 0))
            continue;
        if (widths && !AddStreetZones(edges, walked, lines, *widths, traced.streets))
            return EOperationEnd::kFailed;
        rings.push_back(std::move(traced));
    }

    if (!mergeNeighbours && !AddHoles(rings, widths != nullptr))
        return EOperationEnd::kFailed;

    int number = 0;
    for (const CTracedRing& traced : rings) {
        if (mergeNeighbours ? traced.area <= 0 : traced.area >= 0)
            continue;
        ++number;
        if (widths) {
            if (!WriteBlock(traced, number, *widths, areas, streetAreas))
                return EOperationEnd::kFailed;
        } else if (areas && !areas->Write(traced.ring, number)) {
            return EOperationEnd::kFailed;
        }
    }
    return end;
}

EOperationEnd BuildAreasFromLines(CLayer& layer, CDrelDoc& document, const std::string& path, bool mergeNeighbours,
                                  const std::string* streetAreaPath, const CStreetWidths* widths)
{
    CShapeArray lines;
    std::vector<int32_t> records;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return EOperationEnd::kFailed;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    const int fromField = FindNodeField(table, "Fnode_", "Fnode");
    const int toField = FindNodeField(table, "Tnode_", "Tnode");
    if (!table.IsOpen() || fromField < 0 || toField < 0) {
        AppMessageBox(kNoTopology, MB_OK | MB_ICONWARNING);
        return EOperationEnd::kFailed;
    }
    const int widthField = widths ? table.FindField(widths->field) : -1;
    if (!LoadShapesIndexed(layer, lines, &records, nullptr))
        return EOperationEnd::kFailed;

    std::vector<int> fromNodes, toNodes;
    std::vector<double> lineWidths;
    std::string text;
    for (int i = 0; i < lines.GetSize(); ++i) {
        const CDbfTable* record = source.GetRecordTable(records[static_cast<size_t>(i)]);
        if (!record)
            return EOperationEnd::kFailed;
        record->GetFieldText(fromField, text, 64);
        fromNodes.push_back(AtoiC(text));
        record->GetFieldText(toField, text, 64);
        toNodes.push_back(AtoiC(text));
        if (widths) {
            double width = 0;
            if (widthField >= 0) {
                record->GetFieldText(widthField, text, 64);
                width = AtofC(text);
            }
            lineWidths.push_back(std::isfinite(width) && width > 0 ? width : 0);
            lines[i]->RemoveDuplicatePoints();
        }
    }
    reader.Close();
    std::vector<CHalfEdge> edges;
    BuildHalfEdges(lines, fromNodes, toNodes, widths ? &lineWidths : nullptr, edges);

    CAreaWriter areas, streets;
    const bool withAreas = !path.empty(), withStreets = widths && streetAreaPath && !streetAreaPath->empty();
    if ((withAreas && !areas.Create(path)) || (withStreets && !streets.Create(*streetAreaPath)))
        return EOperationEnd::kFailed;
    EOperationEnd end = EOperationEnd::kDone;
    {
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
        CWaitCursor wait;
        end = TraceFaces(edges, lines, withAreas ? &areas : nullptr, mergeNeighbours,
                         withStreets ? &streets : nullptr, widths, progress.get());
    }
    const bool closed = (!withAreas || areas.Close()) && (!withStreets || streets.Close());
    if (!closed)
        return EOperationEnd::kFailed;
    return end;
}

int CreateClosedAreas(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    if (layer.HasFlag(CLayer::kGroup) || layer.HasFlag(CLayer::kManyFiles) || layer.GetType() != CLayer::kLine)
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, kSuffix), CLayer::kArea, choice))
        return 0;
    const bool merge = AppMessageBox(kMergeNeighbours, MB_YESNO | MB_ICONQUESTION) == IDYES;
    CNewResultLayer result(document, choice, CNewResultLayer::kCancelKeepsWritten);
    if (!result.Begin())
        return 0;
    if (!result.End(BuildAreasFromLines(layer, document, result.GetWritePath(), merge)))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}
