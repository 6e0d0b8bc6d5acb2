#include "geoproc/TopologyErrors.h"

#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/LineTopology.h"
#include "geoproc/ShapeBoxIndex.h"
#include "geoproc/TopologyFix.h"
#include "geoproc/TopologyRules.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/PointStyle.h"
#include "layers/StyleRecord.h"
#include "layers/Sublayer.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <memory>
#include <string>

namespace {

constexpr char kErrorsSuffix[] = "_errors";
constexpr int kErrorSymbol = 95;

enum ErrorMessage : int {
    kNothingFixed = 3035,
    kFixedCounts = 3036,
};

bool IsLineOrArea(const CLayer& layer)
{
    return !layer.HasFlag(CLayer::kGroup) &&
           (layer.GetType() == CLayer::kLine || layer.GetType() == CLayer::kArea);
}

std::unique_ptr<IProgress> MakeProgress()
{
    return UserServices().CreateProgress(0);
}

// A point layer of the choice's names drawn with the error symbol.
std::unique_ptr<CLayer> MakeErrorLayer(const CResultLayerChoice& choice)
{
    auto layer = std::make_unique<CLayer>(choice.name, choice.path, CLayer::kPoint);
    if (CSublayer* first = layer->GetSublayer(0)) {
        CPointStyle style = first->m_style.Point();
        style.kind = CPointStyle::kLibrary;
        style.symbol = kErrorSymbol;
        first->m_style = CStyleRecord(style);
    }
    return layer;
}

// A new point layer at the path, each point with its text in the first field.
EOperationEnd WritePoints(const std::string& path, const std::vector<CMapPoint>& points,
                          const std::vector<std::string>& texts)
{
    CGdbSource target;
    if (!target.Create(path, CFeatureSource::kPoint, nullptr))
        return EOperationEnd::kFailed;
    CDbfTable& table = target.GetTable();
    target.BeginWrites();
    for (size_t i = 0; i < points.size(); ++i)
        if (!target.AppendPoint(points[i], false) || !table.SetField(0, texts[i]) || !table.WriteRecord())
            return EOperationEnd::kFailed;
    if (!target.EndWrites())
        return EOperationEnd::kFailed;
    target.Close();
    return target.GetError() == CFeatureSource::kNoError ? EOperationEnd::kDone : EOperationEnd::kFailed;
}

// A vertex run of one object near another line: its vertex nearest the line.
class CNearRun {
public:
    void Add(int vertex, double distance)
    {
        if (m_vertex < 0 || distance < m_distance) {
            m_vertex = vertex;
            m_distance = distance;
        }
    }
    // The nearest vertex of the run ended, if there was a run.
    void End(const CShape& shape, std::vector<CMapPoint>& points)
    {
        if (m_vertex >= 0)
            points.push_back(shape.GetPoint(m_vertex));
        m_vertex = -1;
    }

private:
    int m_vertex = -1;
    double m_distance = 0;
};

class CErrorFinder {
public:
    CErrorFinder(const CDrelDoc& document, const CShapeArray& shapes, double tolerance, std::vector<CMapPoint>& points)
        : m_tolerance(CTopologyTolerance::Of(document, tolerance)), m_shapes(shapes), m_points(points)
    {}

    bool Index() { return m_index.Build(m_shapes); }

    void Object(int d)
    {
        const CShape& shape = *m_shapes[d];
        for (int part = 0, first = 0; part < shape.GetPartCount(); ++part) {
            const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - first);
            if (size > 0) {
                PartEnd(shape, part, first, first + size - 1, true);
                PartEnd(shape, part, first + size - 1, -1, false);
            }
            first += std::max(size, 0);
        }
        const CMapRect wide = Widened(shape.GetExtent());
        m_index.Query(wide, m_hits);
        for (int m : m_hits)
            if (m != d)
                NearLine(shape, *m_shapes[m]);
    }

private:
    CMapRect Widened(const CMapRect& box) const
    {
        return CMapRect(box.left - m_tolerance.tx, box.top + m_tolerance.ty, box.right + m_tolerance.tx,
                        box.bottom - m_tolerance.ty);
    }
    static bool Inside(const CMapRect& box, const CMapPoint& p)
    {
        return p.x >= box.left && p.x <= box.right && p.y >= box.bottom && p.y <= box.top;
    }
    // q in p's box and not p itself.
    bool NearMiss(const CMapPoint& p, const CMapPoint& q) const { return q != p && m_tolerance.InBox(p, q); }

    // An end of a part: a part nearly closed, or an end near an end of a
    // later part of the object.
    void PartEnd(const CShape& shape, int part, int end, int partLast, bool isFirst)
    {
        const CMapPoint p = shape.GetPoint(end);
        if (isFirst && NearMiss(p, shape.GetPoint(partLast))) {
            m_points.push_back(p);
            m_points.push_back(shape.GetPoint(partLast));
            return;
        }
        int first = shape.GetPartStart(part + 1);
        for (int later = part + 1; later < shape.GetPartCount(); ++later) {
            const int size = std::min(shape.GetPartSize(later), shape.GetPointCount() - first);
            if (size > 0) {
                const CMapPoint a = shape.GetPoint(first), b = shape.GetPoint(first + size - 1);
                if (NearMiss(p, a) || NearMiss(p, b)) {
                    m_points.push_back(p);
                    if (NearMiss(p, a))
                        m_points.push_back(a);
                    if (NearMiss(p, b))
                        m_points.push_back(b);
                    return;
                }
            }
            first += std::max(size, 0);
        }
    }

    // The vertices of d near the line m: of each run of them, the nearest.
    void NearLine(const CShape& d, const CShape& m)
    {
        const CMapRect mWide = Widened(m.GetExtent());
        const double limit = m_tolerance.metres * m_tolerance.metres;
        for (int part = 0, first = 0; part < d.GetPartCount(); ++part) {
            const int size = std::min(d.GetPartSize(part), d.GetPointCount() - first);
            const int last = first + size - 1;
            CNearRun run;
            for (int i = first; i <= last; ++i) {
                const CMapPoint p = d.GetPoint(i);
                int start = 0;
                CMapPoint n;
                double distance = 0;
                const bool close = Inside(mWide, p) &&
                                   m.HitTestSegment(p, m_tolerance.tx + m_tolerance.ty, -1, start, &n) &&
                                   (distance = m_tolerance.SquaredMetres(p, n)) < limit;
                const bool nextNear = i < last && m_tolerance.InBox(p, d.GetPoint(i + 1));
                if (close && p != m.GetPoint(start)) {
                    run.Add(i, distance);
                    if (!nextNear)
                        run.End(d, m_points);
                    continue;
                }
                run.End(d, m_points);
                // A vertex on the line's vertex is shared, and so is the
                // one right beside it.
                if (close && nextNear)
                    ++i;
            }
            first += std::max(size, 0);
        }
    }

    const CTopologyTolerance m_tolerance;
    const CShapeArray& m_shapes;
    std::vector<CMapPoint>& m_points;
    CShapeBoxIndex m_index;
    std::vector<int> m_hits;
};

// 3036 with the counts when anything changed, else 3035.
void TellCounts(const CTopologyFixCounts& counts)
{
    if (counts.fixedNodes <= 0 && counts.fixedVertices <= 0 && counts.insertedVertices <= 0) {
        AppMessageBox(kNothingFixed, MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::string text = LoadString(kFixedCounts);
    for (const int count : {counts.fixedNodes, counts.fixedVertices, counts.insertedVertices})
        if (const size_t at = text.find("%d"); at != std::string::npos)
            text.replace(at, 2, std::to_string(count));
    AppMessageBox(text, MB_OK | MB_ICONINFORMATION, kFixedCounts);
}

// Names for the error layer of the repaired one, without a dialog: not
// those of the repaired layer, whose files are not there yet.
CResultLayerChoice ErrorLayerChoice(CDrelDoc& document, const CLayer& layer, const CResultLayerChoice& repaired)
{
    CResultLayerChoice errors;
    errors.type = CLayer::kPoint;
    const std::string base = ResultLayerBase(layer, kErrorsSuffix);
    document.SuggestNewLayerNames(errors.name, errors.path, base);
    for (int n = 2; EqualsNoCase1257(errors.path, repaired.path); ++n)
        document.SuggestNewLayerNames(errors.name, errors.path, FormatC("%s_%1d", base.c_str(), n));
    if (errors.name == repaired.name)
        errors.name = FormatC("%s (%1d)", errors.name.c_str(), 2);
    return errors;
}

} // namespace

EOperationEnd FindErrorPoints(const CDrelDoc& document, const CShapeArray& shapes, double tolerance,
                              std::vector<CMapPoint>& points, IProgress* progress)
{
    CErrorFinder finder(document, shapes, tolerance, points);
    if (!finder.Index())
        return EOperationEnd::kFailed;
    if (progress) {
        progress->SetRange(0, std::max(shapes.GetSize(), 1));
        progress->SetStep(1);
        progress->SetPos(0);
    }
    for (int d = 0; d < shapes.GetSize(); ++d) {
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel())
                return EOperationEnd::kCancelled;
        }
        finder.Object(d);
    }
    return EOperationEnd::kDone;
}

int CreateErrorPointsLayer(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    if (!IsLineOrArea(layer))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, kErrorsSuffix), CLayer::kPoint, choice))
        return 0;
    double tolerance = 0;
    if (!CErrorToleranceRules::Ask(CErrorToleranceRules::kErrorPoints, tolerance))
        return 0;
    CShapeArray shapes;
    if (!LoadShapesIndexed(layer, shapes, nullptr, nullptr) || shapes.IsEmpty())
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    std::vector<CMapPoint> points;
    EOperationEnd end = FindErrorPoints(document, shapes, tolerance, points, MakeProgress().get());
    if (end == EOperationEnd::kDone) {
        std::vector<std::string> numbers(points.size());
        for (size_t i = 0; i < numbers.size(); ++i)
            numbers[i] = std::to_string(i);
        end = WritePoints(result.GetWritePath(), points, numbers);
    }
    if (!result.End(end, MakeErrorLayer(choice)))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}

int FixTopologyErrors(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    if (!IsLineOrArea(layer))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, ""), CLayer::kLine, choice))
        return 0;
    double tolerance = 0;
    if (!CErrorToleranceRules::Ask(CErrorToleranceRules::kFixing, tolerance))
        return 0;
    CShapeArray shapes;
    std::vector<int32_t> records;
    if (!LoadShapesIndexed(layer, shapes, &records, nullptr) || shapes.IsEmpty())
        return 0;
    CNewResultLayer repaired(document, choice);
    if (!repaired.Begin())
        return 0;
    const CResultLayerChoice errorChoice = ErrorLayerChoice(document, layer, choice);
    CNewResultLayer errors(document, errorChoice);
    if (!errors.Begin()) {
        repaired.End(EOperationEnd::kCancelled);
        return 0;
    }
    std::vector<CTopologyChange> changes;
    CTopologyFixCounts counts;
    EOperationEnd end = FixTopology(document, tolerance, true, shapes, &changes, counts, MakeProgress().get());
    if (end == EOperationEnd::kDone) {
        TellCounts(counts);
        end = WriteShapesToFile(layer, repaired.GetWritePath(), CLayer::kLine, shapes, &records)
                  ? EOperationEnd::kDone
                  : EOperationEnd::kFailed;
    }
    if (end == EOperationEnd::kDone) {
        std::vector<CMapPoint> points(changes.size());
        std::vector<std::string> codes(changes.size());
        for (size_t i = 0; i < changes.size(); ++i) {
            points[i] = changes[i].point;
            codes[i] = changes[i].code;
        }
        end = WritePoints(errors.GetWritePath(), points, codes);
    }
    // Both layers or neither.
    if (end != EOperationEnd::kDone) {
        repaired.End(end);
        errors.End(end);
        return 0;
    }
    if (!repaired.End(end) || !errors.End(end, MakeErrorLayer(errorChoice)))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}
