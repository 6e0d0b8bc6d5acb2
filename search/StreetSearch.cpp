#include "search/StreetSearch.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/UserServices.h"
#include "search/RecentSearches.h"

namespace {

constexpr int kNameFieldMissing = 1004;

} // namespace

CStreetSearch::COptions& CStreetSearch::Options()
{
    static COptions options;
    return options;
}

CStreetSearch::CStreetSearch(CLayer& streets, CDrelView& view, int mode)
    : m_layer(streets), m_streets(view), m_mode(mode)
{
}

bool CStreetSearch::HasHouseNumbers() const
{
    return !m_streets.GetView().GetDocument().Settings().addressesLayer.empty();
}

bool CStreetSearch::Load()
{
    if (m_streets.Load(&m_layer, true, true) == CLayerNames::kLoaded)
        return true;
    AppMessageBox(kNameFieldMissing);
    return false;
}

bool CStreetSearch::CanShow(bool streetNamed, const std::string& houseText) const
{
    return streetNamed && (m_mode != kPickMode || !houseText.empty());
}

CStreetSearch::Outcome CStreetSearch::Show(int selection, const std::string& typed, const std::string& houseText,
                                           bool keepOpen, bool fitScale)
{
    const int entry = Streets().ResolveExact(selection, typed);
    if (entry < 0) {
        AppBeep();
        return kNothing;
    }
    CDrelView& view = m_streets.GetView();
    m_found = FindStreetAddress(view.GetDocument(), Streets().Records(entry), Streets().GetText(entry), houseText);
    if (m_found.kind == CStreetAddress::kNothing)
        return kNothing;
    RecentSearches().Add(m_found.GetText());
    if (m_mode == kPickMode || !keepOpen)
        return kClose;
    ShowFoundStreetAddress(view, m_found, fitScale);
    return kShown;
}
