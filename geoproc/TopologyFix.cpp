#include "geoproc/TopologyFix.h"

#include "core/ShapeArray.h"
#include "geoproc/LineTopology.h"
#include "geoproc/ShapeBoxIndex.h"
#include "layers/SpatialIndex.h"
#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <numeric>

namespace {

// An end node: the first or last vertex of a part, by its index in its
// shape's points, which insertions into the shape move on.
struct CEndNode {
    int shape = 0;
    int index = 0;
    int nearCount = 0;
    int equalCount = 0;
    bool handled = false;
};

class CTopologyFixer {
public:
    CTopologyFixer(const CDrelDoc& document, double tolerance, CShapeArray& shapes,
                   std::vector<CTopologyChange>* changes, CTopologyFixCounts& counts, IProgress* progress)
        : m_document(document), m_tolerance(CTopologyTolerance::Of(document, tolerance)), m_shapes(shapes),
          m_changes(changes), m_counts(counts), m_progress(progress)
    {}

    EOperationEnd Run(bool crossings)
    {
        CollectNodes();
        if (!CountNearNodes())
            return m_cancelled ? EOperationEnd::kCancelled : EOperationEnd::kFailed;
        if (!MoveNodesTogether())
            return EOperationEnd::kCancelled;
        // The ends moved: their lines are found where they are now.
        if (!m_index.Build(m_shapes))
            return EOperationEnd::kFailed;
        if (!JoinNodesToLines())
            return EOperationEnd::kCancelled;
        if (crossings) {
            if (!m_index.Build(m_shapes))
                return EOperationEnd::kFailed;
            if (!InsertCrossings())
                return EOperationEnd::kCancelled;
        }
        return EOperationEnd::kDone;
    }

private:
    CMapPoint& At(const CEndNode& node) { return m_shapes[node.shape]->Points()[node.index]; }

    void Tell(const CMapPoint& point, const char* code)
    {
        if (m_changes)
            m_changes->push_back(CTopologyChange{point, code});
    }

    void StartPass(int count)
    {
        if (!m_progress)
            return;
        m_progress->SetRange(0, std::max(count, 1));
        m_progress->SetStep(1);
        m_progress->SetPos(0);
    }
    // False when the user cancelled.
    bool Step()
    {
        if (!m_progress)
            return true;
        m_progress->StepIt();
        if (m_progress->CheckCancel())
            m_cancelled = true;
        return !m_cancelled;
    }

    void CollectNodes()
    {
        m_firstNode.assign(static_cast<size_t>(m_shapes.GetSize()) + 1, 0);
        for (int s = 0; s < m_shapes.GetSize(); ++s) {
            m_firstNode[static_cast<size_t>(s)] = static_cast<int>(m_nodes.size());
            const CShape& shape = *m_shapes[s];
            for (int part = 0, first = 0; part < shape.GetPartCount(); ++part) {
                const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - first);
                if (size > 0) {
                    m_nodes.push_back(CEndNode{s, first});
                    m_nodes.push_back(CEndNode{s, first + size - 1});
                }
                first += std::max(size, 0);
            }
        }
        m_firstNode.back() = static_cast<int>(m_nodes.size());
    }

    // The node index over the end nodes where they lie now.
    bool IndexNodes()
    {
        CMapRect all;
        for (int s = 0; s < m_shapes.GetSize(); ++s)
            if (m_shapes[s]->GetExtent().IsFinite())
                all.UnionRect(all, m_shapes[s]->GetExtent());
        m_nodeIndex.Free();
        if (!all.IsValid() || m_nodes.empty())
            return true;
        if (!m_nodeIndex.Create(all, static_cast<int>(m_nodes.size()), CSpatialIndex::kSourceCellCount))
            return false;
        for (size_t i = 0; i < m_nodes.size(); ++i) {
            const CMapPoint& p = At(m_nodes[i]);
            if (p.IsFinite() && !m_nodeIndex.AddPoint(p, static_cast<int>(i)))
                return false;
        }
        return m_nodeIndex.Build();
    }

    // The other nodes in the box of the point, in collection order.
    void NodesNear(const CMapPoint& p, std::vector<int>& hits)
    {
        hits.clear();
        for (int n = m_nodeIndex.BeginRectQuery(m_tolerance.Box(p)); n >= 0; n = m_nodeIndex.Next())
            hits.push_back(n);
        std::sort(hits.begin(), hits.end());
    }

    bool CountNearNodes()
    {
        if (!IndexNodes())
            return false;
        StartPass(static_cast<int>(m_nodes.size()));
        std::vector<int> hits;
        for (size_t i = 0; i < m_nodes.size(); ++i) {
            if (!Step())
                return false;
            CEndNode& node = m_nodes[i];
            const CMapPoint p = At(node);
            NodesNear(p, hits);
            for (int n : hits) {
                const CMapPoint& q = At(m_nodes[static_cast<size_t>(n)]);
                if (static_cast<size_t>(n) == i || !m_tolerance.InBox(p, q))
                    continue;
                ++node.nearCount;
                node.equalCount += q == p ? 1 : 0;
            }
        }
        return true;
    }

    // Ends near one another onto the node that has most of them near.
    bool MoveNodesTogether()
    {
        std::vector<int> order(m_nodes.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            const CEndNode& x = m_nodes[static_cast<size_t>(a)];
            const CEndNode& y = m_nodes[static_cast<size_t>(b)];
            return x.nearCount != y.nearCount ? x.nearCount > y.nearCount : x.equalCount > y.equalCount;
        });
        StartPass(static_cast<int>(order.size()));
        std::vector<int> hits;
        for (int m : order) {
            CEndNode& master = m_nodes[static_cast<size_t>(m)];
            if (master.nearCount == 0)
                break;
            if (!Step())
                return false;
            if (master.handled || master.equalCount >= master.nearCount)
                continue;
            const CMapPoint p = At(master);
            const size_t told = m_changes ? m_changes->size() : 0;
            Tell(p, "11");
            bool moved = false;
            NodesNear(p, hits);
            for (int n : hits) {
                CEndNode& node = m_nodes[static_cast<size_t>(n)];
                if (n == m || node.handled || !m_tolerance.InBox(p, At(node)))
                    continue;
                node.handled = true;
                const CMapPoint old = At(node);
                if (old == p)
                    continue;
                At(node) = p;
                m_shapes[node.shape]->RecalcBounds();
                Tell(old, "10");
                ++m_counts.fixedNodes;
                moved = true;
            }
            if (moved)
                master.handled = true;
            else if (m_changes)
                (*m_changes)[told].code = "99";
        }
        return true;
    }

    // A vertex added to the shape before index: the nodes after it move on.
    void Inserted(int shape, int index)
    {
        for (int n = m_firstNode[static_cast<size_t>(shape)]; n < m_firstNode[static_cast<size_t>(shape) + 1]; ++n)
            if (m_nodes[static_cast<size_t>(n)].index >= index)
                ++m_nodes[static_cast<size_t>(n)].index;
    }

    void MoveNode(CEndNode& node, const CMapPoint& to)
    {
        At(node) = to;
        m_shapes[node.shape]->RecalcBounds();
        m_index.Moved(node.shape);
    }

    // The nearest segment of another line with its nearest point in the
    // node's box: the line, its segment's start and that point. Of lines
    // as near, the first.
    bool NearestLine(const CEndNode& node, int& line, int& start, CMapPoint& nearest)
    {
        const CMapPoint p = At(node);
        m_index.Query(m_tolerance.Box(p), m_hits);
        double best = 0;
        line = -1;
        for (int o : m_hits) {
            if (o == node.shape)
                continue;
            int index = 0;
            CMapPoint n;
            const CShape& shape = *m_shapes[o];
            if (!shape.HitTestSegment(p, m_tolerance.tx + m_tolerance.ty, -1, index, &n) || !m_tolerance.InBox(p, n))
                continue;
            // A line through the node at a vertex is joined to it already.
            if (n == p && (shape.GetPoint(index) == p ||
                           (index + 1 < shape.GetPointCount() && shape.GetPoint(index + 1) == p)))
                continue;
            const double distance = m_tolerance.SquaredMetres(p, n);
            if (line < 0 || distance < best) {
                best = distance;
                line = o;
                start = index;
                nearest = n;
            }
        }
        return line >= 0;
    }

    // Each end node onto the nearest other line: onto its vertex, or onto
    // the segment with a new vertex there; a node that others share or
    // that others moved onto stays, and the line comes to it instead.
    bool JoinNodesToLines()
    {
        StartPass(static_cast<int>(m_nodes.size()));
        for (CEndNode& node : m_nodes) {
            if (!Step())
                return false;
            int o = 0, s = 0;
            CMapPoint n;
            if (!NearestLine(node, o, s, n))
                continue;
            CShape& line = *m_shapes[o];
            const CMapPoint p = At(node);
            // A node already on the segment stays; the line gets a vertex there.
            const bool stays = node.handled || node.equalCount > 0 || n == p;
            const int part = line.PartFromPoint(s);
            const int partEnd = line.GetPartStart(part) + line.GetPartSize(part) - 1;
            // A vertex within a fifth of the tolerance of the segment's
            // nearest point serves instead of a new one.
            int vertex = -1;
            if (n == line.GetPoint(s) || s >= partEnd) {
                vertex = s;
            } else {
                const int e = s + 1;
                const bool endNearer =
                    m_document.GetDistanceKm(n, line.GetPoint(e)) < m_document.GetDistanceKm(n, line.GetPoint(s));
                const int v = endNearer ? e : s;
                if (m_tolerance.InBox(p, line.GetPoint(v)) &&
                    !(m_tolerance.metres < 5000 * m_document.GetDistanceKm(n, line.GetPoint(v))))
                    vertex = v;
            }
            if (vertex < 0) {
                const CMapPoint added = stays ? p : n;
                if (stays) {
                    Tell(p, "32");
                } else {
                    Tell(p, "30");
                    Tell(n, "31");
                    MoveNode(node, n);
                    ++m_counts.fixedNodes;
                }
                line.InsertPoint(s + 1, added);
                Inserted(o, s + 1);
                m_index.Moved(o);
                ++m_counts.insertedVertices;
            } else if (const CMapPoint v = line.GetPoint(vertex); v != p) {
                if (!stays) {
                    Tell(p, "20");
                    Tell(v, "21");
                    MoveNode(node, v);
                    ++m_counts.fixedNodes;
                } else if (vertex != line.GetPartStart(part) && vertex != partEnd) {
                    Tell(v, "40");
                    Tell(p, "41");
                    line.Points()[vertex] = p;
                    line.RecalcBounds();
                    m_index.Moved(o);
                    ++m_counts.fixedVertices;
                }
            }
            node.handled = true;
        }
        return true;
    }

    bool InsertCrossings()
    {
        StartPass(m_shapes.GetSize());
        for (int i = 0; i < m_shapes.GetSize(); ++i) {
            if (!Step())
                return false;
            m_index.Query(m_shapes[i]->GetExtent(), m_hits);
            for (int j : m_hits) {
                if (j <= i)
                    continue;
                CShape crossings;
                m_shapes[i]->InsertIntersectionVertices(*m_shapes[j], nullptr, nullptr, &crossings);
                for (int k = 0; k < crossings.GetPointCount(); ++k)
                    Tell(crossings.GetPoint(k), "s");
                m_counts.insertedVertices += crossings.GetPointCount();
            }
        }
        return true;
    }

    const CDrelDoc& m_document;
    const CTopologyTolerance m_tolerance;
    CShapeArray& m_shapes;
    std::vector<CTopologyChange>* m_changes;
    CTopologyFixCounts& m_counts;
    IProgress* m_progress;
    bool m_cancelled = false;

    std::vector<CEndNode> m_nodes;
    std::vector<int> m_firstNode; // each shape's first node; one more at the end
    CSpatialIndex m_nodeIndex;
    CShapeBoxIndex m_index;
    std::vector<int> m_hits;
};

} // namespace

EOperationEnd FixTopology(const CDrelDoc& document, double tolerance, bool crossings, CShapeArray& shapes,
                          std::vector<CTopologyChange>* changes, CTopologyFixCounts& counts, IProgress* progress)
{
    counts = CTopologyFixCounts();
    CTopologyFixer fixer(document, tolerance, shapes, changes, counts, progress);
    return fixer.Run(crossings);
}
