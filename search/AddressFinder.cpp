#include "search/AddressFinder.h"

#include "layers/Layer.h"
#include "mapdoc/AddressSearch.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"
#include "search/FindState.h"

#include <algorithm>

CAddressFinder::CAddressFinder(CDrelView& view) : m_view(view)
{
    // Found quietly: a map without streets shows a page that says so.
    const CDrelDoc& document = view.GetDocument();
    const std::string& name = document.Settings().streetsLayer;
    CLayer* layer = name.empty() ? nullptr : document.Layers().FindByName(name);
    if (layer && !layer->HasFlag(CLayer::kGroup) && layer->GetType() == CLayer::kLine)
        m_streetLayer = layer;
}

bool CAddressFinder::HasHouseNumbers() const
{
    return !m_view.GetDocument().Settings().addressesLayer.empty();
}

bool CAddressFinder::IsTownMode() const
{
    return !m_view.GetDocument().Settings().cityNameField.empty();
}

bool CAddressFinder::Load()
{
    if (!m_streetLayer)
        return false;
    CDrelDoc& document = m_view.GetDocument();
    const CStreetLists& lists = document.Streets().Lists();
    if (lists.streetNames.empty() && !document.LoadStreetNames())
        return false;
    CWaitCursor wait;
    m_towns.clear();
    if (IsTownMode()) {
        for (size_t i = 0; i < lists.cities.size(); ++i)
            m_towns.push_back({lists.cities[i], static_cast<int32_t>(i)});
        SortNameEntries(m_towns);
        m_streets.Assign({});
        return true;
    }
    std::vector<CNameEntry> streets;
    streets.reserve(lists.streetNames.size());
    for (size_t i = 0; i < lists.streetNames.size(); ++i)
        streets.push_back({lists.streetNames[i], lists.streetRecords[i]});
    m_streets.Assign(std::move(streets));
    m_streets.Fold();
    return true;
}

int CAddressFinder::FindTown(const std::string& name) const
{
    auto it = std::find_if(m_towns.begin(), m_towns.end(),
                           [&](const CNameEntry& town) { return EqualsNoCase1257(town.text, name); });
    return it == m_towns.end() ? -1 : static_cast<int>(it - m_towns.begin());
}

void CAddressFinder::ChooseTown(int index)
{
    if (index < 0 || index >= static_cast<int>(m_towns.size()))
        return;
    CWaitCursor wait;
    const CNameEntry& town = m_towns[static_cast<size_t>(index)];
    FindState().lastTown = town.text;
    const CStreetLists& lists = m_view.GetDocument().Streets().Lists();
    std::vector<CNameEntry> streets;
    for (size_t i = 0; i < lists.streetNames.size(); ++i)
        if (lists.streetCities[i] == town.record)
            streets.push_back({lists.streetNames[i], lists.streetRecords[i]});
    m_streets.Assign(std::move(streets));
    m_streets.Fold();
}

bool CAddressFinder::Show(int entry, const std::string& houseText)
{
    FindState().lastPage = CFindState::kAddressPage;
    if (!m_streets.IsEntry(entry))
        return false;
    return ShowStreetAddress(m_view, m_streets.Records(entry), m_streets.GetText(entry), houseText);
}
