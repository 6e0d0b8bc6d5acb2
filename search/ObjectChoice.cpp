#include "search/ObjectChoice.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/NumberText.h"
#include "search/ObjectActions.h"

namespace {

std::string ObjectText(CLayer& layer, int file, int32_t record)
{
    if (layer.HasFlag(CLayer::kGroup) || !layer.IsVectorType())
        return layer.GetName();
    CLayerFileScope scope(layer, file);
    CLayerReader reader;
    std::string name;
    if (reader.OpenLayer(&layer) && !layer.GetIdField().empty()) {
        CFeatureSource& source = *reader.GetSource();
        const int field = source.GetTable().FindField(layer.GetIdField());
        if (field >= 0 && source.GetFieldText(record, field, name))
            return name;
    }
    return FormatC("<%04ld>", static_cast<long>(record));
}

} // namespace

std::vector<std::string> ObjectCandidateTexts(const std::vector<CObjectCandidate>& candidates)
{
    std::vector<std::string> texts;
    texts.reserve(candidates.size());
    for (const CObjectCandidate& candidate : candidates)
        texts.push_back(candidate.layer ? ObjectText(*candidate.layer, candidate.file, candidate.record)
                                        : candidate.text);
    return texts;
}
