#include "shell/DocTemplate.h"

#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"

#include <algorithm>

namespace {

constexpr int kUntitled = 61901;

} // namespace

CDocTemplate::CDocTemplate(int resourceId, std::string docStrings, DocumentFactory makeDocument,
                           FrameFactory makeFrame)
    : m_resourceId(resourceId),
      m_docStrings(std::move(docStrings)),
      m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame))
{
}

std::string CDocTemplate::GetDocString(DocString index) const
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = m_docStrings.find('\n', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    const size_t end = m_docStrings.find('\n', start);
    return m_docStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string CDocTemplate::GetFilter() const
{
    const std::string name = GetDocString(kFilterName);
    const std::string ext = GetDocString(kFilterExt);
    if (name.empty() || ext.empty())
        return {};
    return name + "|*" + ext + "|";
}

bool CDocTemplate::MatchesExtension(const std::string& path) const
{
    const std::string ext = GetDocString(kFilterExt);
    return !ext.empty() && EndsWithNoCase1257(path, ext);
}

CShellDocument* CDocTemplate::GetDocument(int index) const
{
    return index >= 0 && index < GetDocumentCount() ? m_documents[static_cast<size_t>(index)].get() : nullptr;
}

std::vector<CShellDocument*> CDocTemplate::GetDocuments() const
{
    std::vector<CShellDocument*> out;
    for (const auto& document : m_documents)
        out.push_back(document.get());
    return out;
}

bool CDocTemplate::HasDocument(const CShellDocument* document) const
{
    return std::any_of(m_documents.begin(), m_documents.end(),
                       [document](const auto& d) { return d.get() == document; });
}

CShellDocument& CDocTemplate::Adopt(std::unique_ptr<CShellDocument> document)
{
    document->m_template = this;
    m_documents.push_back(std::move(document));
    return *m_documents.back();
}

std::unique_ptr<CShellDocument> CDocTemplate::Release(CShellDocument& document)
{
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [&document](const auto& d) { return d.get() == &document; });
    if (it == m_documents.end())
        return nullptr;
    std::unique_ptr<CShellDocument> out = std::move(*it);
    m_documents.erase(it);
    return out;
}

std::string CDocTemplate::NextUntitledTitle()
{
    const std::string name = GetDocString(kDocName);
    ++m_untitledCount;
    if (name.empty())
        return LoadString(kUntitled);
    return name + FormatC("%d", m_untitledCount);
}
