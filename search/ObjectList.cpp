#include "search/ObjectList.h"

#include "layers/Layer.h"
#include "platform/UserServices.h"
#include "search/RecentSearches.h"

#include <algorithm>

namespace {

constexpr int kNameFieldMissing = 1004;

} // namespace

CObjectList::COptions& CObjectList::Options()
{
    static COptions options;
    return options;
}

CObjectList::CObjectList(CLayer& layer, CDrelView& view) : m_layer(layer), m_objects(view) {}

bool CObjectList::Load(bool fold)
{
    if (m_objects.Load(&m_layer, fold) == CLayerNames::kLoaded)
        return true;
    AppMessageBox(kNameFieldMissing);
    return false;
}

int CObjectList::Resolve(int selection, const std::string& typed) const
{
    const int entry = Names().ResolveExact(selection, typed);
    if (entry < 0)
        AppBeep();
    return entry;
}

bool CObjectList::Choose(int selection, const std::string& typed)
{
    const int entry = Resolve(selection, typed);
    if (entry < 0)
        return false;
    const std::vector<int32_t> records = Names().Records(entry);
    m_chosen.insert(m_chosen.end(), records.begin(), records.end());
    RecentSearches().Add(typed);
    return true;
}

void CObjectList::ShowChosen(bool fitScale)
{
    if (!m_chosen.empty())
        m_layer.ShowRecords(m_chosen, m_objects.GetView(), fitScale);
    m_chosen.clear();
}

void CObjectList::ShowInfo(int selection, const std::string& typed)
{
    if (const int entry = Resolve(selection, typed); entry >= 0)
        m_objects.ShowInfo(entry);
}

int CObjectList::EditInfo(int selection, const std::string& typed)
{
    const int entry = Resolve(selection, typed);
    return entry < 0 ? -1 : m_objects.EditInfo(entry);
}

bool CObjectList::Delete(int selection, const std::string& typed)
{
    const int entry = Resolve(selection, typed);
    return entry >= 0 && m_objects.Delete(entry);
}

CRect PlaceObjectListWindow(const CRect& window, const CRect& workArea)
{
    constexpr int kGapLeftOfMiddle = 20;
    const CSize size = window.Size();
    const int right = workArea.CenterPoint().x - kGapLeftOfMiddle;
    int left = right - size.cx;
    int top = workArea.CenterPoint().y - size.cy / 2;
    // The far edges first: a window larger than the area keeps its top left inside.
    left = std::max(std::min(left, workArea.right - size.cx), workArea.left);
    top = std::max(std::min(top, workArea.bottom - size.cy), workArea.top);
    return CRect(CPoint(left, top), size);
}
