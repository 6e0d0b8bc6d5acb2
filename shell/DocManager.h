#pragma once

#include "shell/DocTemplate.h"
#include "shell/RecentFileList.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Asks the user for a file name: the open and save-as dialogs. The widget
// half installs the windowed one.
class IFilePrompt {
public:
    virtual ~IFilePrompt() = default;
    // path holds the proposal and receives the choice (code page 1257).
    // filter is in the "text|patterns||" form; defaultExt (".map") is
    // added to a saved name without an extension. False when cancelled.
    virtual bool PromptFileName(std::string& path, bool open, const std::string& filter,
                                const std::string& defaultExt) = 0;
};

// The document templates and their open documents: opening (an open file
// activates its window instead), new documents, saving, the question to
// save changes, closing a frame, a document or all of them, and the
// recent-file list.
class CDocManager {
public:
    CDocManager();
    ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    CDocTemplate& AddTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    int GetTemplateCount() const { return static_cast<int>(m_templates.size()); }
    CDocTemplate* GetTemplate(int index) const;
    CDocTemplate* FindTemplate(int resourceId) const;

    CRecentFileList& RecentFiles() { return m_recent; }
    // The caller keeps it; null: every prompt is cancelled.
    void SetFilePrompt(IFilePrompt* prompt) { m_prompt = prompt; }
    IFilePrompt* GetFilePrompt() const { return m_prompt; }

    // Opens a file (one pair of enclosing quotes removed, a relative path
    // taken from the current folder) with the template of its extension,
    // else the first one. A file already open activates its first frame.
    // On failure (the document reports why) the path leaves the recent
    // list; null.
    CShellDocument* OpenDocumentFile(std::string path);
    // The open dialog over every template's filter, then OpenDocumentFile.
    CShellDocument* PromptAndOpen();
    // A new untitled document of the template with its frame; prepare runs
    // after the document's OnNewDocument and before the frame's first update.
    CShellDocument* NewDocument(CDocTemplate& docTemplate,
                                const std::function<void(CShellDocument&)>& prepare = {});

    // The framework's question for a modified document: Yes saves (false
    // when the save fails or is cancelled), No lets it go, Cancel keeps it.
    bool AskToSave(CShellDocument& document);
    // Save into its file; a document without one, or with a read-only
    // one, asks for a name.
    bool SaveDocument(CShellDocument& document);
    bool SaveDocumentAs(CShellDocument& document);

    // The document's save question, then its frames and the document go.
    bool CloseDocument(CShellDocument& document);
    // Whether a frame may close: the last frame of a modified document asks.
    bool CanCloseFrame(IDocFrame& frame);
    // The frame is going (it calls this itself); its document goes with its
    // last frame.
    void FrameDestroyed(IDocFrame& frame);
    // Every document's save question in turn; false at the first cancel.
    bool SaveAllModified();
    // Closes every document without asking.
    void CloseAllDocuments();

    CShellDocument* FindDocument(const std::string& path) const;
    CShellDocument* FindFrameDocument(const IDocFrame& frame) const;
    // The framework document behind a map document.
    CShellDocument* FindDocumentFor(const CDrelDoc& document) const;
    std::vector<CShellDocument*> GetAllDocuments() const;

    // Save (57603), save as (57604) and close (57602) of a document: the
    // target after the document's own on the command route.
    ICommandTarget& DocumentCommands(CShellDocument& document);

private:
    CDocTemplate* ChooseTemplate(const std::string& path) const;
    bool DoSave(CShellDocument& document, std::string path);
    void DestroyDocument(CShellDocument& document);
    // A new document of the template with its frame; null (all undone) when
    // the frame cannot be made.
    CShellDocument* CreateDocumentWithFrame(CDocTemplate& docTemplate, IDocFrame*& frame);

    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    CRecentFileList m_recent;
    IFilePrompt* m_prompt = nullptr;
    std::vector<const CShellDocument*> m_closing;
};
