#include "geoproc/GeoprocFrame.h"

#include "core/FileUtil.h"
#include "core/ShapeArray.h"
#include "geoproc/NewResultLayer.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/SpatialIndex.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <memory>

namespace {

enum FrameMessage : int {
    kReadError = 1028,
    kWriteError = 1045,
    kNotPointType = 1060, // 1061 line, 1062 area
    kWriteIntoSource = 2021,
};

bool IsLineOrArea(int type)
{
    return type == CLayer::kLine || type == CLayer::kArea;
}

} // namespace

std::string ResultLayerBase(const CLayer& source, std::string_view suffix)
{
    return GetPathTitle(source.GetPath()) + std::string(suffix);
}

int PromptResultLayer(CDrelDoc& document, const CDocCommandDialogs& dialogs, const std::string& base, int type,
                      CResultLayerChoice& choice, unsigned alsoAccepted)
{
    if (!dialogs.newLayer)
        return 0;
    document.SuggestNewLayerNames(choice.name, choice.path, base);
    choice.type = type;
    choice.options.replaceConfirmed = false;
    if (!dialogs.newLayer(document, choice.name, choice.path, choice.type, choice.options))
        return 0;
    const bool accepted =
        choice.type == type || (choice.type >= 0 && choice.type < 32 && (alsoAccepted & (1u << choice.type)));
    if (!accepted) {
        if (type >= CLayer::kPoint && type <= CLayer::kArea)
            AppMessageBox(kNotPointType + type, MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (!EqualsNoCase1257(GetPathExtension(choice.path), "gdb")) {
        choice.path = MakePathWithExtension(choice.path, ".gdb");
        // The user agreed to replace another file than the one written.
        choice.options.replaceConfirmed = false;
    }
    return 1;
}

int LoadShapesIndexed(CLayer& layer, CShapeArray& shapes, std::vector<int32_t>* records, CSpatialIndex* index,
                      CMapRect* box)
{
    if (!IsLineOrArea(layer.GetType()) || layer.HasFlag(CLayer::kGroup))
        return 0;
    CWaitCursor wait;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    CMapRect all;
    auto shape = std::make_unique<CShape>();
    while (source.ReadNextShape(*shape)) {
        all.UnionRect(all, shape->GetExtent());
        if (records)
            records->push_back(source.GetCurrentRecord());
        shapes.Add(std::move(shape));
        shape = std::make_unique<CShape>();
    }
    // A shape passed over would be missing from the result.
    if (source.GetError() != CFeatureSource::kNoError) {
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
        return 0;
    }
    reader.Close();
    if (box)
        *box = all;
    if (index) {
        index->Free();
        if (!shapes.IsEmpty()) {
            if (!index->Create(all, shapes.GetSize(), CSpatialIndex::kSourceCellCount))
                return 0;
            for (int i = 0; i < shapes.GetSize(); ++i)
                index->AddBox(shapes[i]->GetExtent(), i);
            if (!index->Build())
                return 0;
        }
    }
    return 1;
}

int WriteShapesToFile(const CLayer& source, const std::string& path, int type, const CShapeArray& shapes,
                      const std::vector<int32_t>* records, IProgress* progress, bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    CLayerReader reader;
    if (!reader.OpenLayer(&source))
        return 0;
    CFeatureSource& from = *reader.GetSource();
    const std::vector<CDbfFieldInfo> fields = from.GetFieldInfos();
    CLayerReader writer;
    if (!writer.CreateSource(path) || !writer.GetSource()->Create(path, type, fields.empty() ? nullptr : fields.data()))
        return 0;
    CFeatureSource& to = *writer.GetSource();
    CDbfTable& table = to.GetTable();
    if (progress) {
        progress->SetRange(0, shapes.GetSize());
        progress->SetStep(1);
        progress->SetPos(0);
    }
    for (int i = 0; i < shapes.GetSize(); ++i) {
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel()) {
                if (cancelled)
                    *cancelled = true;
                return 0;
            }
        }
        const CShape& shape = *shapes[i];
        if (shape.GetPointCount() == 0)
            continue;
        // A point layer takes the first point of each shape.
        if (!(type == CLayer::kPoint ? to.AppendPoint(shape.Points()[0], false) : to.AppendShape(shape, false)))
            return 0;
        if (records && from.GetTable().IsOpen() && i < static_cast<int>(records->size())) {
            if (!from.GetRecordTable((*records)[static_cast<size_t>(i)]))
                return 0;
            from.CopyAttributesTo(table);
        }
        if (table.IsOpen() && !table.WriteRecord())
            return 0;
    }
    to.Close();
    return to.GetError() == CFeatureSource::kNoError ? 1 : 0;
}

int AskWriteInPlace(const CLayer& layer)
{
    if (!layer.HasFlag(CLayer::kObjectsEditable))
        return IDNO;
    CLayerReader reader;
    if (!reader.CreateSource(layer.GetPath()) || !reader.GetSource()->CanWrite())
        return IDNO;
    return AppMessageBox(kWriteIntoSource, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
}

bool WriteShapesBack(CLayer& layer, CDrelDoc& document, const CShapeArray& shapes, const std::vector<int32_t>& records)
{
    CMessageCounter messages;
    CLayerReader reader;
    bool done = reader.Open(layer.GetPath());
    int written = 0;
    if (done) {
        CFeatureSource& source = *reader.GetSource();
        const int count = std::min(shapes.GetSize(), static_cast<int>(records.size()));
        for (int i = 0; done && i < count; ++i) {
            const CShape& shape = *shapes[i];
            const int record = records[static_cast<size_t>(i)];
            done = shape.GetPointCount() == 0 ? source.DeleteRecord(record) : source.ReplaceShape(shape, record);
            written += done ? 1 : 0;
        }
        source.Close();
        done = done && source.GetError() == CFeatureSource::kNoError;
    }
    if (!done && messages.GetCount() == 0)
        AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
    if (written > 0) {
        if (layer.HasFlag(CLayer::kInOverview))
            document.UpdateAllViews(kHintOverview);
        if (layer.HasFlag(CLayer::kShown))
            document.UpdateAllViews(MakeHint(document.FindLayerIndex(&layer), kHintRedraw));
    }
    return done;
}

int AskResultPlace(const CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs, const std::string& base,
                   CResultLayerChoice& choice)
{
    const int place = AskWriteInPlace(layer);
    if (place != IDNO)
        return place == IDYES ? IDYES : IDCANCEL;
    return PromptResultLayer(document, dialogs, base, CLayer::kArea, choice) ? IDNO : IDCANCEL;
}

int WriteResultShapes(int place, CLayer& layer, CDrelDoc& document, const CResultLayerChoice& choice,
                      const CShapeArray& shapes, const std::vector<int32_t>& records)
{
    if (place == IDYES)
        return WriteShapesBack(layer, document, shapes, records) ? 1 : 0;
    if (place != IDNO)
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    const int written = WriteShapesToFile(layer, result.GetWritePath(), CLayer::kArea, shapes, &records);
    return result.End(written ? EOperationEnd::kDone : EOperationEnd::kFailed) ? 1 : 0;
}
