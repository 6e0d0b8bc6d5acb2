#include "shell/DocManager.h"

#include "core/FileUtil.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "res/CommandIds.h"

#include <algorithm>

namespace {

constexpr int kAskToSave = 61900;
constexpr int kAllFiles = 61904;

std::string StripEnclosingQuotes(std::string_view path)
{
    if (!path.empty() && path.front() == '"') {
        path.remove_prefix(1);
        if (!path.empty() && path.back() == '"')
            path.remove_suffix(1);
    }
    return std::string(path);
}

bool SamePath(const std::string& a, const std::string& b)
{
    return !a.empty() && (a == b || IsSameFile(a, b));
}

} // namespace

bool CShellDocument::SaveModified()
{
    return m_manager ? m_manager->AskToSave(*this) : true;
}

void CShellDocument::SetTitle(std::string title)
{
    m_title = std::move(title);
    for (IDocFrame* frame : m_frames)
        frame->OnDocumentTitleChanged(m_title);
}

CDocManager::CDocManager() : m_recent(kRecentFileCount) {}

CDocManager::~CDocManager() = default;

CDocTemplate& CDocManager::AddTemplate(std::unique_ptr<CDocTemplate> docTemplate)
{
    m_templates.push_back(std::move(docTemplate));
    return *m_templates.back();
}

CDocTemplate* CDocManager::GetTemplate(int index) const
{
    return index >= 0 && index < GetTemplateCount() ? m_templates[static_cast<size_t>(index)].get() : nullptr;
}

CDocTemplate* CDocManager::FindTemplate(int resourceId) const
{
    for (const auto& t : m_templates)
        if (t->GetResourceId() == resourceId)
            return t.get();
    return nullptr;
}

std::vector<CShellDocument*> CDocManager::GetAllDocuments() const
{
    std::vector<CShellDocument*> out;
    for (const auto& t : m_templates)
        for (CShellDocument* d : t->GetDocuments())
            out.push_back(d);
    return out;
}

CShellDocument* CDocManager::FindDocument(const std::string& path) const
{
    for (CShellDocument* d : GetAllDocuments())
        if (SamePath(d->GetPathName(), path))
            return d;
    return nullptr;
}

CShellDocument* CDocManager::FindDocumentFor(const CDrelDoc& document) const
{
    for (CShellDocument* d : GetAllDocuments())
        if (d->GetMapDocument() == &document)
            return d;
    return nullptr;
}

CShellDocument* CDocManager::FindFrameDocument(const IDocFrame& frame) const
{
    for (CShellDocument* d : GetAllDocuments())
        if (std::find(d->m_frames.begin(), d->m_frames.end(), &frame) != d->m_frames.end())
            return d;
    return nullptr;
}

CDocTemplate* CDocManager::ChooseTemplate(const std::string& path) const
{
    for (const auto& t : m_templates)
        if (t->MatchesExtension(path))
            return t.get();
    return m_templates.empty() ? nullptr : m_templates.front().get();
}

CShellDocument* CDocManager::CreateDocumentWithFrame(CDocTemplate& docTemplate, IDocFrame*& frame)
{
    frame = nullptr;
    std::unique_ptr<CShellDocument> made = docTemplate.m_makeDocument ? docTemplate.m_makeDocument() : nullptr;
    if (!made)
        return nullptr;
    made->m_manager = this;
    CShellDocument& document = docTemplate.Adopt(std::move(made));
    frame = docTemplate.m_makeFrame ? docTemplate.m_makeFrame(document, docTemplate) : nullptr;
    if (!frame) {
        docTemplate.Release(document);
        return nullptr;
    }
    document.m_frames.push_back(frame);
    return &document;
}

CShellDocument* CDocManager::OpenDocumentFile(std::string path)
{
    path = StripEnclosingQuotes(path);
    if (path.empty())
        return nullptr;
    path = MakeFullPath(path);

    if (CShellDocument* open = FindDocument(path)) {
        if (!open->m_frames.empty())
            open->m_frames.front()->ActivateFrame();
        return open;
    }
    CDocTemplate* docTemplate = ChooseTemplate(path);
    if (!docTemplate)
        return nullptr;
    IDocFrame* frame = nullptr;
    CShellDocument* document = CreateDocumentWithFrame(*docTemplate, frame);
    if (!document)
        return nullptr;
    if (!document->OnOpenDocument(path)) {
        DestroyDocument(*document);
        m_recent.RemovePath(path);
        return nullptr;
    }
    document->SetPathName(path);
    document->SetModifiedFlag(false);
    document->SetTitle(GetPathFileName(path));
    m_recent.Add(path);
    frame->InitialUpdateFrame();
    return document;
}

CShellDocument* CDocManager::PromptAndOpen()
{
    std::string filter;
    for (const auto& t : m_templates)
        filter += t->GetFilter();
    filter += LoadString(kAllFiles) + "|*||";
    std::string path;
    if (!m_prompt || !m_prompt->PromptFileName(path, true, filter, {}))
        return nullptr;
    return OpenDocumentFile(path);
}

CShellDocument* CDocManager::NewDocument(CDocTemplate& docTemplate,
                                         const std::function<void(CShellDocument&)>& prepare)
{
    IDocFrame* frame = nullptr;
    CShellDocument* document = CreateDocumentWithFrame(docTemplate, frame);
    if (!document)
        return nullptr;
    if (!document->OnNewDocument()) {
        DestroyDocument(*document);
        return nullptr;
    }
    document->SetTitle(docTemplate.NextUntitledTitle());
    if (prepare)
        prepare(*document);
    frame->InitialUpdateFrame();
    return document;
}

bool CDocManager::AskToSave(CShellDocument& document)
{
    if (!document.IsModified())
        return true;
    std::string name = document.GetTitle();
    if (name.empty())
        name = GetPathFileName(document.GetPathName());
    switch (AppMessageBoxArg(kAskToSave, name, MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return SaveDocument(document);
    default:
        return true;
    }
}

bool CDocManager::SaveDocument(CShellDocument& document)
{
    const std::string path = document.GetPathName();
    if (path.empty() || (PathExists(path) && IsFileReadOnly(path)))
        return DoSave(document, {});
    return DoSave(document, path);
}

bool CDocManager::SaveDocumentAs(CShellDocument& document)
{
    return DoSave(document, {});
}

bool CDocManager::DoSave(CShellDocument& document, std::string path)
{
    if (path.empty()) {
        const CDocTemplate* docTemplate = document.GetDocTemplate();
        const std::string ext = docTemplate ? docTemplate->GetDocString(CDocTemplate::kFilterExt) : std::string();
        path = document.GetPathName();
        if (path.empty())
            path = document.GetTitle() + ext;
        const std::string filter = docTemplate ? docTemplate->GetFilter() + "|" : std::string();
        if (!m_prompt || !m_prompt->PromptFileName(path, false, filter, ext))
            return false;
        if (!ext.empty() && GetPathExtension(GetPathFileName(path)).empty())
            path += ext;
        path = MakeFullPath(path);
    }
    if (!document.OnSaveDocument(path))
        return false;
    document.SetPathName(path);
    document.SetModifiedFlag(false);
    document.SetTitle(GetPathFileName(path));
    m_recent.Add(path);
    return true;
}

bool CDocManager::CloseDocument(CShellDocument& document)
{
    if (!document.SaveModified())
        return false;
    DestroyDocument(document);
    return true;
}

bool CDocManager::CanCloseFrame(IDocFrame& frame)
{
    CShellDocument* document = FindFrameDocument(frame);
    if (!document || document->m_frames.size() > 1)
        return true;
    return document->SaveModified();
}

void CDocManager::FrameDestroyed(IDocFrame& frame)
{
    CShellDocument* document = FindFrameDocument(frame);
    if (!document)
        return;
    auto& frames = document->m_frames;
    frames.erase(std::remove(frames.begin(), frames.end(), &frame), frames.end());
    const bool closing = std::find(m_closing.begin(), m_closing.end(), document) != m_closing.end();
    if (frames.empty() && !closing)
        DestroyDocument(*document);
}

void CDocManager::DestroyDocument(CShellDocument& document)
{
    m_closing.push_back(&document);
    // Each frame takes itself out of the list as it goes.
    while (!document.m_frames.empty()) {
        IDocFrame* frame = document.m_frames.back();
        frame->DestroyFrame();
        auto& frames = document.m_frames;
        frames.erase(std::remove(frames.begin(), frames.end(), frame), frames.end());
    }
    document.OnCloseDocument();
    m_closing.erase(std::remove(m_closing.begin(), m_closing.end(), &document), m_closing.end());
    if (CDocTemplate* docTemplate = document.GetDocTemplate())
        docTemplate->Release(document);
}

bool CDocManager::SaveAllModified()
{
    for (CShellDocument* document : GetAllDocuments())
        if (!document->SaveModified())
            return false;
    return true;
}

void CDocManager::CloseAllDocuments()
{
    // Closing one may close others (a map closes its tables): the list is
    // asked again after each.
    for (std::vector<CShellDocument*> open = GetAllDocuments(); !open.empty(); open = GetAllDocuments())
        DestroyDocument(*open.front());
}

ICommandTarget& CDocManager::DocumentCommands(CShellDocument& document)
{
    if (!document.m_frameworkCommands) {
        auto table = std::make_unique<CCommandTable>();
        CShellDocument* d = &document;
        table->On(kCmdFileClose, [this, d] { CloseDocument(*d); });
        table->On(kCmdFileSave, [this, d] { SaveDocument(*d); });
        table->On(kCmdFileSaveAs, [this, d] { SaveDocumentAs(*d); });
        document.m_frameworkCommands = std::move(table);
    }
    return *document.m_frameworkCommands;
}
