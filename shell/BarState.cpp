#include "shell/BarState.h"

#include "platform/AppProfile.h"

#include <algorithm>

namespace {

std::vector<std::string> SplitNames(const std::string& text)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

bool CBarState::Load(const std::string& name)
{
    CAppProfile& profile = CAppProfile::Instance();
    state.clear();
    if (!profile.GetBinary(name, "State", state) || state.empty())
        return false;
    bars = SplitNames(profile.GetString(name, "Bars"));
    return true;
}

void CBarState::Save(const std::string& name) const
{
    std::string names;
    for (const std::string& bar : bars)
        names += (names.empty() ? "" : ",") + bar;
    CAppProfile& profile = CAppProfile::Instance();
    profile.WriteBinary(name, "State", state);
    profile.WriteString(name, "Bars", names);
}

bool CBarState::IsConsistentWith(const std::vector<std::string>& existingBars) const
{
    return std::all_of(bars.begin(), bars.end(), [&](const std::string& bar) {
        return std::find(existingBars.begin(), existingBars.end(), bar) != existingBars.end();
    });
}

bool IsBarStateConsistent(const std::string& name, const std::vector<std::string>& existingBars)
{
    CBarState saved;
    return saved.Load(name) && saved.IsConsistentWith(existingBars);
}
