#include "mapdoc/AddressSearch.h"

#include "layers/Layer.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/FoundObject.h"
#include "mapdoc/NameFolding.h"
#include "mapdoc/ViewHost.h"
#include "platform/UserServices.h"

namespace {

constexpr int kStreetNotFound = 1107;
constexpr int kShowNearestAddress = 2001;
constexpr int kShowStreetInstead = 2002;

} // namespace

bool FindToolbarAddress(CDrelView& view)
{
    IDocumentHost& host = DocumentHost();
    IToolbarBox* streets = host.GetAddressBox(AddressBox::kStreet);
    if (!streets)
        return false;
    const std::string streetText = streets->GetText();
    if (streetText.empty())
        return false;
    const IToolbarBox* houseBox = host.GetAddressBox(AddressBox::kHouseNumber);
    const std::string houseText = houseBox ? houseBox->GetText() : std::string();

    std::vector<std::string> entries;
    for (int i = 0; i < streets->GetCount(); ++i)
        entries.push_back(streets->GetItemText(i));
    const int item = ResolveTypedName(entries, streets->GetCurSel(), streetText, kStreetNotFound);
    if (item < 0)
        return false;
    CDrelDoc& document = view.GetDocument();
    const auto record = static_cast<int32_t>(streets->GetItemData(item));
    return ShowStreetAddress(view, FoldedRecords(document.Streets().Lists().merged, record), streetText, houseText);
}

std::string CStreetAddress::GetText() const
{
    return kind == kHouse ? streetText + " " + houseText : streetText;
}

CStreetAddress FindStreetAddress(CDrelDoc& document, const std::vector<int32_t>& streetRecords,
                                 const std::string& streetText, const std::string& houseText)
{
    CStreetAddress found;
    if (streetRecords.empty())
        return found;
    found.streetRecords = streetRecords;
    found.streetCode = document.GetStreetCode(streetRecords.front());
    found.streetText = streetText;
    found.houseText = houseText;
    if (!houseText.empty()) {
        // A code below 1 would look the number up on every street.
        if (found.streetCode > 0 && document.CollectStreetAddresses(found.streetCode, houseText, found.address)) {
            if (found.address.status == 1 && !AskYesNo(kShowNearestAddress))
                return {};
            found.kind = CStreetAddress::kHouse;
            return found;
        }
        if (!AskYesNo(kShowStreetInstead))
            return {};
    }
    found.kind = CStreetAddress::kStreet;
    return found;
}

bool ShowFoundStreetAddress(CDrelView& view, const CStreetAddress& found, bool zoom)
{
    CDrelDoc& document = view.GetDocument();
    if (found.kind == CStreetAddress::kHouse) {
        CFoundObject object;
        object.kind = 1;
        object.point = found.address.point;
        object.label = found.address.status == 2 ? found.houseText : found.address.text;
        view.ShowFoundObject(object, zoom);
        // After the overlays went, which empties the pane.
        ViewHost().SetMessageText(found.GetText());
        return true;
    }
    CLayer* layer = found.kind == CStreetAddress::kStreet ? document.GetStreetsLayer() : nullptr;
    if (!layer)
        return false;
    layer->ShowRecords(found.streetRecords, view, zoom);
    document.LabelStreetAddresses(found.streetCode, view);
    ViewHost().SetMessageText(found.GetText());
    return true;
}

bool ShowStreetAddress(CDrelView& view, const std::vector<int32_t>& streetRecords, const std::string& streetText,
                       const std::string& houseText)
{
    return ShowFoundStreetAddress(view, FindStreetAddress(view.GetDocument(), streetRecords, streetText, houseText),
                                  true);
}
