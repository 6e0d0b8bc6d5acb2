#include "tools/render/MapRenderer.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Path.h"
#include "platform/UserServices.h"

CMapRenderer::CMapRenderer() = default;

CMapRenderer::~CMapRenderer()
{
    // The view observes the document.
    m_view.reset();
}

bool CMapRenderer::Open(const std::string& mapPath, int width, int height, std::string& error,
                        const ViewMaker& makeView)
{
    m_view.reset();
    m_document = std::make_unique<CDrelDoc>();
    if (!PathExists(mapPath)) {
        error = "the map " + mapPath + " does not exist";
        return false;
    }
    CHeldMessages held;
    if (!m_document->OnOpenDocument(mapPath)) {
        error = "the map " + mapPath + " does not open";
        for (const CHeldMessages::Message& message : held.Messages())
            error += ": " + message.text;
        m_document.reset();
        return false;
    }
    held.Show();
    m_view = makeView ? makeView(*m_document) : std::make_unique<CDrelView>(*m_document);
    m_view->OnSize(width, height);
    m_view->OnInitialUpdate();
    return true;
}

bool CMapRenderer::ShowExtent(const CMapRect& extent, std::string& error)
{
    if (!m_view->FitRect(extent)) {
        error = "the extent cannot be shown";
        return false;
    }
    return true;
}

bool CMapRenderer::ShowBookmark(const std::string& name, std::string& error)
{
    CMapRect extent;
    if (!m_document->FindBookmark(name, extent)) {
        error = "the map has no saved place \"" + name + "\"";
        const int count = m_document->GetBookmarkCount();
        for (int k = 0; k < count; ++k)
            error += (k == 0 ? "; it has \"" : ", \"") + m_document->GetBookmarkName(k) + "\"";
        return false;
    }
    return ShowExtent(extent, error);
}
