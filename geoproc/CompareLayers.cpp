#include "geoproc/CompareLayers.h"

#include "core/DbfEngine.h"
#include "core/DbfFieldInfo.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/GeoprocFrame.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

#include <memory>

namespace {

enum CompareMessage : int {
    kProgressCaption = 125,
    kStructuresDiffer = 3053,
    kNoDifferences = 3054,
    kTooManyInARow = 3055,
};

// A run of this many differing objects ends the walk.
constexpr int kMaxInARow = 10;

std::string g_lastSecond;
int g_lastMode = 0;

bool IsComparable(const CLayer& layer)
{
    const int type = layer.GetType();
    return !layer.HasFlag(CLayer::kGroup) && (type == CLayer::kPoint || type == CLayer::kLine ||
                                              type == CLayer::kArea || type == CLayer::kTrack);
}

bool IsPointType(int type)
{
    return type == CLayer::kPoint || type == CLayer::kTrack;
}

// The fields without the list's end entry.
std::vector<CDbfFieldInfo> FieldsOf(const CFeatureSource& source)
{
    std::vector<CDbfFieldInfo> fields = source.GetFieldInfos();
    while (!fields.empty() && fields.back().length == 0)
        fields.pop_back();
    return fields;
}

bool SameFields(const std::vector<CDbfFieldInfo>& a, const std::vector<CDbfFieldInfo>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!EqualsNoCase1257(a[i].name, b[i].name) || a[i].type != b[i].type || a[i].length != b[i].length ||
            a[i].decimals != b[i].decimals)
            return false;
    return true;
}

// One layer's side of the walk: its current object and record.
class CWalkSide {
public:
    CWalkSide(CFeatureSource& source, bool points) : m_source(source), m_points(points) {}

    bool Next()
    {
        m_has = m_points ? m_source.ReadNextPoint(m_point) : m_source.ReadNextShape(m_shape);
        m_record = m_has ? m_source.GetCurrentRecord() : -1;
        return m_has;
    }
    bool Has() const { return m_has; }
    int Record() const { return m_record; }
    bool SameGeometry(const CWalkSide& other) const
    {
        return m_points ? m_point == other.m_point : m_shape.IsEqual(other.m_shape);
    }
    // The current record's fields as stored, byte for byte (a shown text
    // would hide blanks and a date's century); false when it cannot be read.
    bool RecordText(std::vector<std::string>& texts)
    {
        texts.clear();
        CDbfTable* table = m_source.GetRecordTable(m_record);
        if (!table || !table->GetHandle())
            return false;
        for (int f = 0; f < table->GetFieldCount(); ++f)
            DbfCopyFieldText(*table->GetHandle(), f, texts.emplace_back());
        return true;
    }
    // The current object with a copy of its record appended to the target.
    bool WriteTo(CFeatureSource& target)
    {
        const bool appended = m_points ? target.AppendPoint(m_point, false) : target.AppendShape(m_shape, false);
        if (!appended)
            return false;
        CDbfTable& table = target.GetTable();
        if (!table.IsOpen())
            return true;
        if (!m_source.GetRecordTable(m_record))
            return false;
        m_source.CopyAttributesTo(table);
        return table.WriteRecord();
    }
    CFeatureSource& Source() { return m_source; }

private:
    CFeatureSource& m_source;
    bool m_points;
    bool m_has = false;
    int m_record = -1;
    CShape m_shape;
    CMapPoint m_point;
};

class CCompareWalk {
public:
    CCompareWalk(CWalkSide& a, CWalkSide& b, CFeatureSource& diff1, CFeatureSource& diff2, int mode,
                 IProgress* progress)
        : m_a(a), m_b(b), m_diff1(diff1), m_diff2(diff2), m_mode(mode), m_progress(progress)
    {
    }

    // kDone at the end or after 3055; kFailed when a write failed.
    EOperationEnd Run()
    {
        ReadA();
        m_b.Next();
        while (m_end == kGoing && (m_a.Has() || m_b.Has())) {
            if (!m_b.Has())
                OnlyA();
            else if (!m_a.Has())
                RemainingB();
            else if (Equal())
                Match();
            else if (m_a.Record() != m_b.Record())
                Resync();
            else
                Pair();
        }
        if (m_end == kGoing && (m_a.Source().HasStoppingError() || m_b.Source().HasStoppingError()))
            return EOperationEnd::kFailed;
        return m_end == kFailed ? EOperationEnd::kFailed
                                : m_end == kCancelled ? EOperationEnd::kCancelled : EOperationEnd::kDone;
    }
    int Written() const { return m_written; }

private:
    enum End { kGoing, kStopped, kFailed, kCancelled };

    void ReadA()
    {
        m_a.Next();
        if (m_progress) {
            m_progress->StepIt();
            if (m_read++ % 64 == 0 && m_progress->CheckCancel())
                m_end = kCancelled;
        }
    }
    bool Equal()
    {
        if (!m_a.SameGeometry(m_b))
            return false;
        if (m_mode != 1)
            return true;
        std::vector<std::string> a, b;
        if (!m_a.RecordText(a) || !m_b.RecordText(b)) {
            m_end = kFailed;
            return false;
        }
        return a == b;
    }
    bool Write(CWalkSide& side, CFeatureSource& target)
    {
        if (m_end != kGoing)
            return false;
        if (!side.WriteTo(target)) {
            m_end = kFailed;
            return false;
        }
        ++m_written;
        return true;
    }
    void StopEarly()
    {
        AppMessageBox(kTooManyInARow, MB_OK | MB_ICONINFORMATION);
        m_end = kStopped;
    }
    // One more difference in a row; the tenth stops the walk.
    void CountDifference()
    {
        if (m_inARow >= kMaxInARow - 1)
            StopEarly();
        else
            ++m_inARow;
    }
    void Match()
    {
        m_inARow = 0;
        ReadA();
        m_b.Next();
    }
    void Pair()
    {
        if (!Write(m_b, m_diff2) || !Write(m_a, m_diff1))
            return;
        CountDifference();
        if (m_end == kGoing) {
            ReadA();
            m_b.Next();
        }
    }
    void OnlyA()
    {
        if (!Write(m_a, m_diff1))
            return;
        CountDifference();
        if (m_end == kGoing)
            ReadA();
    }
    // The first layer is done: the second's rest, up to the limit of a run.
    void RemainingB()
    {
        if (m_inARow >= kMaxInARow) {
            StopEarly();
            return;
        }
        if (!Write(m_b, m_diff2))
            return;
        ++m_inARow;
        m_b.Next();
    }
    // The side that is behind by record number is advanced until it meets
    // the other's number or an object equal to the other; without a match
    // the other's object is written and the advanced side's current object
    // waits for the next comparison.
    void Resync()
    {
        const bool advanceB = m_b.Record() < m_a.Record();
        CWalkSide& behind = advanceB ? m_b : m_a;
        CWalkSide& ahead = advanceB ? m_a : m_b;
        CFeatureSource& behindDiff = advanceB ? m_diff2 : m_diff1;
        CFeatureSource& aheadDiff = advanceB ? m_diff1 : m_diff2;
        while (m_end == kGoing && behind.Has() && behind.Record() < ahead.Record()) {
            if (!Write(behind, behindDiff))
                return;
            if (advanceB)
                m_b.Next();
            else
                ReadA();
            ++m_inARow;
            if (m_end == kGoing && behind.Has() && Equal()) {
                Match();
                return;
            }
        }
        if (m_end != kGoing || !Write(ahead, aheadDiff))
            return;
        if (advanceB)
            ReadA();
        else
            m_b.Next();
    }

    CWalkSide& m_a;
    CWalkSide& m_b;
    CFeatureSource& m_diff1;
    CFeatureSource& m_diff2;
    int m_mode;
    IProgress* m_progress;
    End m_end = kGoing;
    int m_inARow = 0;
    int m_written = 0;
    int m_read = 0;
};

bool CreateResult(CLayerReader& writer, const std::string& path, int type, const CFeatureSource& source)
{
    std::vector<CDbfFieldInfo> fields = source.GetFieldInfos();
    return writer.CreateSource(path) &&
           writer.GetSource()->Create(path, type, fields.size() > 1 ? fields.data() : nullptr);
}

int ResultType(const CLayer& layer)
{
    return IsPointType(layer.GetType()) ? CLayer::kPoint : layer.GetType();
}

} // namespace

std::vector<CLayer*> CCompareLayersRules::Layers(const CDrelDoc& document)
{
    std::vector<CLayer*> layers;
    for (int i = 0; i < document.GetLayerCount(); ++i)
        if (CLayer* layer = document.GetLayer(i); layer && IsComparable(*layer))
            layers.push_back(layer);
    return layers;
}

int CCompareLayersRules::InitialFirst(const std::vector<CLayer*>& layers, const CLayer* active)
{
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i] == active)
            return static_cast<int>(i);
    return -1;
}

int CCompareLayersRules::InitialSecond(const std::vector<CLayer*>& layers)
{
    if (g_lastSecond.empty())
        return -1;
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i]->GetName() == g_lastSecond)
            return static_cast<int>(i);
    return -1;
}

int CCompareLayersRules::InitialMode()
{
    return g_lastMode;
}

CCompareLayersRules::Verdict CCompareLayersRules::Accept(const CLayer* first, const CLayer* second, int mode)
{
    if (!first || !second || mode < 0 || mode > 1)
        return kIncomplete;
    if (first->GetType() != second->GetType())
        return kDifferentTypes;
    Remember(second->GetName(), mode);
    return kAccepted;
}

void CCompareLayersRules::Remember(const std::string& second, int mode)
{
    g_lastSecond = second;
    g_lastMode = mode;
}

const std::string& CCompareLayersRules::LastSecond()
{
    return g_lastSecond;
}

bool CompareStructuresAgree(CLayer& first, CLayer& second, int mode)
{
    if (mode != 1)
        return true;
    CLayerReader a, b;
    if (!a.OpenLayer(&first) || !b.OpenLayer(&second))
        return false;
    if (!SameFields(FieldsOf(*a.GetSource()), FieldsOf(*b.GetSource()))) {
        AppMessageBox(kStructuresDiffer, MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

EOperationEnd CompareLayerData(CLayer& first, CLayer& second, const std::string& path1, const std::string& path2,
                               int mode, IProgress* progress)
{
    CLayerReader readerA, readerB;
    if (!readerA.OpenLayer(&first) || !readerB.OpenLayer(&second))
        return EOperationEnd::kFailed;
    CFeatureSource& a = *readerA.GetSource();
    CFeatureSource& b = *readerB.GetSource();
    if (mode == 1 && !SameFields(FieldsOf(a), FieldsOf(b))) {
        AppMessageBox(kStructuresDiffer, MB_OK | MB_ICONWARNING);
        return EOperationEnd::kFailed;
    }
    CLayerReader writer1, writer2;
    if (!CreateResult(writer1, path1, ResultType(first), a) || !CreateResult(writer2, path2, ResultType(second), b))
        return EOperationEnd::kFailed;
    CFeatureSource& diff1 = *writer1.GetSource();
    CFeatureSource& diff2 = *writer2.GetSource();
    if (progress) {
        progress->SetRange(0, a.GetTable().GetRecordCount());
        progress->SetStep(1);
        progress->SetPos(0);
    }
    CWalkSide sideA(a, IsPointType(first.GetType()));
    CWalkSide sideB(b, IsPointType(second.GetType()));
    CCompareWalk walk(sideA, sideB, diff1, diff2, mode, progress);
    const EOperationEnd end = walk.Run();
    diff1.Close();
    diff2.Close();
    if (end != EOperationEnd::kDone)
        return end;
    if (diff1.GetError() != CFeatureSource::kNoError || diff2.GetError() != CFeatureSource::kNoError)
        return EOperationEnd::kFailed;
    if (walk.Written() == 0) {
        AppMessageBox(kNoDifferences, MB_OK | MB_ICONINFORMATION);
        return EOperationEnd::kFailed;
    }
    return EOperationEnd::kDone;
}

int CompareLayers(CLayer& first, CLayer& second, CDrelDoc& document, int mode)
{
    if (!IsComparable(first) || !IsComparable(second) || first.GetType() != second.GetType())
        return 0;
    if (!CompareStructuresAgree(first, second, mode))
        return 0;
    CResultLayerChoice choice1, choice2;
    document.SuggestNewLayerNames(choice1.name, choice1.path, ResultLayerBase(first, "_diff1"));
    document.SuggestNewLayerNames(choice2.name, choice2.path, ResultLayerBase(second, "_diff2"));
    choice1.type = ResultType(first);
    choice2.type = ResultType(second);
    CNewResultLayer result1(document, choice1);
    CNewResultLayer result2(document, choice2);
    if (!result1.Begin() || !result2.Begin())
        return 0;
    EOperationEnd end = EOperationEnd::kFailed;
    {
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(kProgressCaption);
        end = CompareLayerData(first, second, result1.GetWritePath(), result2.GetWritePath(), mode, progress.get());
    }
    auto layer1 = std::make_unique<CLayer>(choice1.name, choice1.path, choice1.type);
    layer1->SetIdField(first.GetIdField());
    auto layer2 = std::make_unique<CLayer>(choice2.name, choice2.path, choice2.type);
    layer2->SetIdField(second.GetIdField());
    const bool added1 = result1.End(end, std::move(layer1)) != nullptr;
    const bool added2 = result2.End(end, std::move(layer2)) != nullptr;
    if (!added1 && !added2)
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}

int RunCompareLayers(CLayer* active, CDrelDoc& document)
{
    CCompareChoice choice;
    if (!GeoprocDialogs().AskCompareLayers(document, active, choice) || !choice.first || !choice.second)
        return 0;
    return CompareLayers(*choice.first, *choice.second, document, choice.mode);
}
