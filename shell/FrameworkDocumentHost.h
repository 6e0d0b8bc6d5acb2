#pragma once

#include "mapdoc/DocumentHost.h"

class CDocManager;

// The part of the map document's host that the framework answers: the
// question to save a modified map goes to the document manager. The main
// window's host derives from it and adds the rest.
class CFrameworkDocumentHost : public IDocumentHost {
public:
    explicit CFrameworkDocumentHost(CDocManager& manager) : m_manager(manager) {}
    bool SaveModifiedDocument(CDrelDoc& document) override;

private:
    CDocManager& m_manager;
};
