#include "geoproc/NewResultLayer.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "mapdoc/DocCommands.h"
#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"

#include <utility>

namespace {

enum ResultLayerMessage : int {
    kCannotCreateFile = 1027,
    kLayerFilesNotCreated = 1088,
};

} // namespace

EOperationEnd CloseWritten(CFeatureSource& target, EOperationEnd end)
{
    if (!target.EndWrites())
        end = EOperationEnd::kFailed;
    target.Close();
    return target.GetError() == CFeatureSource::kNoError ? end : EOperationEnd::kFailed;
}

CNewResultLayer::CNewResultLayer(CDrelDoc& document, CResultLayerChoice choice, CancelRule rule)
    : m_document(document), m_choice(std::move(choice)), m_rule(rule), m_files(m_choice.path)
{}

CNewResultLayer::~CNewResultLayer() = default;

bool CNewResultLayer::Begin()
{
    m_messages = std::make_unique<CMessageCounter>();
    if (!CheckNewLayerFiles(m_document, m_choice.path, m_choice.options.replaceConfirmed))
        return false;
    if (!m_files.Reserve()) {
        AppMessageBoxArg(kCannotCreateFile, m_choice.path, MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

CLayer* CNewResultLayer::End(EOperationEnd end, std::unique_ptr<CLayer> layer)
{
    const bool told = m_messages && m_messages->GetCount() > 0;
    m_messages.reset();
    const bool keep =
        end == EOperationEnd::kDone || (end == EOperationEnd::kCancelled && m_rule == kCancelKeepsWritten);
    if (!keep) {
        m_files.Discard();
        if (end == EOperationEnd::kFailed && !told)
            AppMessageBox(kLayerFilesNotCreated, MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    if (!m_files.Commit()) {
        AppMessageBoxArg(kCannotCreateFile, m_choice.path, MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    if (!layer)
        layer = std::make_unique<CLayer>(m_choice.name, m_choice.path, m_choice.type);
    CMapRect extent;
    if (layer->GetExtent(extent) && extent.IsValid())
        layer->SetExtent(extent);
    CLayer* added = layer.get();
    m_document.AddLayer(std::move(layer), true);
    m_document.GrowMapExtent(*added);
    return added;
}
