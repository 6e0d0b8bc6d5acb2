#pragma once

#include "shell/ShellDocument.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One kind of document: its resource id (the menu, accelerators and icon
// of its frames), its document strings, how its documents and frames are
// made, and the documents of the kind that are open. The strings are the
// resource's one text with the pieces separated by '\n': window title,
// document name, new-file name, filter name, filter extension, and two
// file-type names ("\nDrel\nDrel\nDrel Map Files (*.map)\n.map\n\n").
class CDocTemplate {
public:
    enum DocString { kWindowTitle, kDocName, kFileNewName, kFilterName, kFilterExt, kFileTypeId, kFileTypeName };

    using DocumentFactory = std::function<std::unique_ptr<CShellDocument>()>;
    // Makes the frame of a document (not shown yet); null when it cannot.
    using FrameFactory = std::function<IDocFrame*(CShellDocument& document, CDocTemplate& docTemplate)>;

    CDocTemplate(int resourceId, std::string docStrings, DocumentFactory makeDocument, FrameFactory makeFrame);

    int GetResourceId() const { return m_resourceId; }
    std::string GetDocString(DocString index) const;
    // "Drel Map Files (*.map)|*.map|" for the file dialogs; empty without a filter.
    std::string GetFilter() const;
    // The path ends in the filter extension (letter case ignored).
    bool MatchesExtension(const std::string& path) const;

    int GetDocumentCount() const { return static_cast<int>(m_documents.size()); }
    CShellDocument* GetDocument(int index) const;
    std::vector<CShellDocument*> GetDocuments() const;
    bool HasDocument(const CShellDocument* document) const;

private:
    friend class CDocManager;

    CShellDocument& Adopt(std::unique_ptr<CShellDocument> document);
    std::unique_ptr<CShellDocument> Release(CShellDocument& document);
    std::string NextUntitledTitle();

    int m_resourceId;
    std::string m_docStrings;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    std::vector<std::unique_ptr<CShellDocument>> m_documents;
    int m_untitledCount = 0;
};
