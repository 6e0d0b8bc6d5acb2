#pragma once

#include "platform/CommandTarget.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class CDocManager;
class CDocTemplate;
class CDrelDoc;

// A frame window that shows a document, as the document manager sees it:
// the map window, the table window. The widget half makes them.
class IDocFrame {
public:
    virtual ~IDocFrame() = default;
    // The first show: the frame appears and its views take their first update.
    virtual void InitialUpdateFrame() = 0;
    // Brings the frame to the front and gives it the focus.
    virtual void ActivateFrame() = 0;
    // Closes the frame without asking; its views go at once.
    virtual void DestroyFrame() = 0;
    virtual void OnDocumentTitleChanged(const std::string& title) {}
};

// One open document as the document manager keeps it: the file
// operations of the document behind it, its title and its frames.
class CShellDocument {
public:
    CShellDocument() = default;
    virtual ~CShellDocument() = default;
    CShellDocument(const CShellDocument&) = delete;
    CShellDocument& operator=(const CShellDocument&) = delete;

    virtual bool OnNewDocument() { return true; }
    virtual bool OnOpenDocument(const std::string& path) = 0;
    virtual bool OnSaveDocument(const std::string& path) = 0;
    virtual void OnCloseDocument() {}
    // Whether the document may close: the question to save its changes
    // (CDocManager::AskToSave), and the save. False cancels the close.
    virtual bool SaveModified();
    virtual bool IsModified() const = 0;
    virtual void SetModifiedFlag(bool modified) = 0;
    virtual std::string GetPathName() const = 0;
    virtual void SetPathName(const std::string& path) = 0;
    // The document's own commands, before the framework's save and close.
    virtual ICommandTarget* GetCommandTarget() { return nullptr; }
    // The map document behind it; null for other kinds.
    virtual CDrelDoc* GetMapDocument() { return nullptr; }

    // Code page 1257; the frames show it.
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(std::string title);

    CDocTemplate* GetDocTemplate() const { return m_template; }
    CDocManager* GetDocManager() const { return m_manager; }
    const std::vector<IDocFrame*>& GetFrames() const { return m_frames; }

private:
    friend class CDocTemplate;
    friend class CDocManager;

    std::string m_title;
    CDocTemplate* m_template = nullptr;
    CDocManager* m_manager = nullptr;
    std::vector<IDocFrame*> m_frames;
    // The framework's save, save as and close, second on the route.
    std::unique_ptr<CCommandTable> m_frameworkCommands;
};

// A document class of the system (CDrelDoc) behind the framework: its
// open, save, close, save question and modified flag, and its commands
// when it is a command target.
template <class Doc>
class CShellDocumentOf : public CShellDocument {
public:
    template <class... Args>
    explicit CShellDocumentOf(Args&&... args) : m_document(std::forward<Args>(args)...)
    {
    }

    Doc& Get() { return m_document; }
    const Doc& Get() const { return m_document; }

    bool OnOpenDocument(const std::string& path) override { return m_document.OnOpenDocument(path); }
    bool OnSaveDocument(const std::string& path) override { return m_document.OnSaveDocument(path); }
    void OnCloseDocument() override { m_document.OnCloseDocument(); }
    bool SaveModified() override { return m_document.SaveModified(); }
    bool IsModified() const override { return m_document.IsModified(); }
    void SetModifiedFlag(bool modified) override { m_document.SetModifiedFlag(modified); }
    std::string GetPathName() const override { return m_document.GetPathName(); }
    void SetPathName(const std::string& path) override { m_document.SetPathName(path); }
    ICommandTarget* GetCommandTarget() override
    {
        if constexpr (std::is_base_of_v<ICommandTarget, Doc>)
            return &m_document;
        else
            return nullptr;
    }
    CDrelDoc* GetMapDocument() override
    {
        if constexpr (std::is_base_of_v<CDrelDoc, Doc>)
            return &m_document;
        else
            return nullptr;
    }

private:
    Doc m_document;
};
