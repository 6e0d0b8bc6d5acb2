#include "layers/LayerArray.h"

#include "layers/DtmLayer.h"
#include "layers/GridLayer.h"
#include "layers/Sublayer.h"
#include "platform/Stream.h"

void RegisterLayerClasses()
{
    CRuntimeClass::Register(&CLayer::kClass);
    CRuntimeClass::Register(&CGridLayer::kClass);
    CRuntimeClass::Register(&CDtmLayer::kClass);
    CRuntimeClass::Register(&CSublayer::kClass);
}

CLayer* CLayerArray::FindByName(std::string_view name) const
{
    for (const auto& layer : m_items)
        if (layer->GetName() == name)
            return layer.get();
    return nullptr;
}

void CLayerArray::Serialize(CArchive& archive)
{
    if (archive.IsLoading())
        RegisterLayerClasses();
    COwnedObArray<CLayer>::Serialize(archive);
}

bool CLayerArray::ReadMapFile(const std::string& path)
{
    auto stream = CFileStream::Open(path, FileMode::Read);
    if (!stream)
        return false;
    CArchive archive(*stream, CArchive::load, path);
    CLayerArray read;
    read.Serialize(archive);
    m_items.swap(read.m_items);
    return true;
}

bool CLayerArray::WriteMapFile(const std::string& path) const
{
    return WriteFileAtomically(path, [&](CStream& stream) {
        try {
            CArchive archive(stream, CArchive::store, path);
            Store(archive);
        } catch (...) {
            return false;
        }
        return stream.Flush();
    });
}
