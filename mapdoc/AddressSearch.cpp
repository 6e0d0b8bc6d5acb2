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

bool ShowStreetAddress(CDrelView& view, const std::vector<int32_t>& streetRecords, const std::string& streetText,
                       const std::string& houseText)
{
    if (streetRecords.empty())
        return false;
    CDrelDoc& document = view.GetDocument();
    const int64_t code = document.GetStreetCode(streetRecords.front());

    if (!houseText.empty()) {
        CAddressResult result;
        // A code below 1 would look the number up on every street.
        if (code > 0 && document.CollectStreetAddresses(code, houseText, result)) {
            if (result.status == 1 && !AskYesNo(kShowNearestAddress))
                return false;
            CFoundObject found;
            found.kind = 1;
            found.point = result.point;
            found.label = result.status == 2 ? houseText : result.text;
            view.ShowFoundObject(found, true);
            // After the overlays went, which empties the pane.
            ViewHost().SetMessageText(streetText + " " + houseText);
            return true;
        }
        if (!AskYesNo(kShowStreetInstead))
            return false;
    }
    CLayer* layer = document.GetStreetsLayer();
    if (!layer)
        return false;
    layer->ShowRecords(streetRecords, view, true);
    document.LabelStreetAddresses(code, view);
    ViewHost().SetMessageText(streetText);
    return true;
}
