#include "shell/CustomToolBarModel.h"

#include "platform/AppProfile.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>

namespace {
constexpr char kToolbarsSection[] = "Toolbars";
}

void CCustomToolBarModel::Init(int controlId, const std::vector<int>& buttons)
{
    m_valueName = FormatC("TB%d", controlId);
    m_initial.clear();
    for (const int id : buttons) {
        if (static_cast<int>(m_initial.size()) == kMaxInitialButtons)
            break;
        m_initial.push_back({id, true});
    }
    m_buttons.clear();
    for (const InitialButton& button : m_initial)
        m_buttons.push_back(button.id);
    m_changed = false;
}

void CCustomToolBarModel::RemoveHiddenButtons(const std::set<int>& hidden)
{
    std::erase_if(m_buttons, [&](int id) { return id != 0 && hidden.count(id); });
    for (InitialButton& button : m_initial)
        if (button.id != 0 && hidden.count(button.id))
            button.available = false;
}

bool CCustomToolBarModel::IsKnownButton(int id) const
{
    return id == 0 || std::any_of(m_initial.begin(), m_initial.end(), [id](const InitialButton& b) { return b.id == id; });
}

bool CCustomToolBarModel::RestoreSavedState()
{
    const std::string text = CAppProfile::Instance().GetString(kToolbarsSection, m_valueName);
    if (text.empty())
        return false;
    std::vector<int> buttons;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        int id = 0;
        const char* first = text.data() + start;
        const char* last = text.data() + end;
        const auto [stop, error] = std::from_chars(first, last, id);
        // A saved list of another build may name commands this bar has not.
        if (error == std::errc() && stop == last && IsKnownButton(id))
            buttons.push_back(id);
        start = end + 1;
    }
    m_buttons = std::move(buttons);
    return true;
}

void CCustomToolBarModel::SaveIfChanged() const
{
    if (m_changed && !m_valueName.empty())
        CAppProfile::Instance().WriteString(kToolbarsSection, m_valueName, FormatButtons(m_buttons));
}

std::string CCustomToolBarModel::FormatButtons(const std::vector<int>& buttons)
{
    std::string text;
    for (const int id : buttons) {
        if (!text.empty())
            text += ',';
        text += std::to_string(id);
    }
    return text;
}

std::vector<int> CCustomToolBarModel::GetOfferedButtons() const
{
    std::vector<int> offered;
    for (const InitialButton& button : m_initial)
        if (button.id != 0 && std::find(m_buttons.begin(), m_buttons.end(), button.id) == m_buttons.end() &&
            std::find(offered.begin(), offered.end(), button.id) == offered.end())
            offered.push_back(button.id);
    return offered;
}

bool CCustomToolBarModel::Insert(int position, int id)
{
    if (position < 0 || position > static_cast<int>(m_buttons.size()) || !IsKnownButton(id))
        return false;
    m_buttons.insert(m_buttons.begin() + position, id);
    m_changed = true;
    return true;
}

bool CCustomToolBarModel::Remove(int position)
{
    if (position < 0 || position >= static_cast<int>(m_buttons.size()))
        return false;
    m_buttons.erase(m_buttons.begin() + position);
    m_changed = true;
    return true;
}

bool CCustomToolBarModel::Move(int position, int delta)
{
    const int to = position + delta;
    const int count = static_cast<int>(m_buttons.size());
    if (position < 0 || position >= count || to < 0 || to >= count)
        return false;
    std::swap(m_buttons[position], m_buttons[to]);
    m_changed = true;
    return true;
}

void CCustomToolBarModel::Reset()
{
    m_buttons.clear();
    for (const InitialButton& button : m_initial)
        if (button.available)
            m_buttons.push_back(button.id);
    m_changed = true;
}
