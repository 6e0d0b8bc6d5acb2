#include "shell/FrameworkDocumentHost.h"

#include "mapdoc/DrelDoc.h"
#include "shell/DocManager.h"

bool CFrameworkDocumentHost::SaveModifiedDocument(CDrelDoc& document)
{
    CShellDocument* shellDocument = m_manager.FindDocumentFor(document);
    return shellDocument ? m_manager.AskToSave(*shellDocument) : true;
}
