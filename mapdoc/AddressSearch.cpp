#include "mapdoc/AddressSearch.h"

#include "layers/Layer.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/FoundObject.h"
#include "mapdoc/SearchDialogs.h"
#include "mapdoc/ViewHost.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

#include <algorithm>

namespace {

constexpr int kStreetNotFound = 1107;
constexpr int kShowNearestAddress = 2001;
constexpr int kShowStreetInstead = 2002;

// The street box's item for the typed text: the selection, the entry of
// exactly that text, else the one candidate or the user's choice among
// several; -1 when none (message 1107) or cancelled.
int ResolveStreetItem(const IToolbarBox& box, const std::string& typed)
{
    if (box.GetCurSel() >= 0)
        return box.GetCurSel();
    std::vector<std::string> entries;
    for (int i = 0; i < box.GetCount(); ++i) {
        entries.push_back(box.GetItemText(i));
        if (entries.back() == typed)
            return i;
    }
    const std::vector<int> candidates = FindStreetCandidates(entries, typed);
    if (candidates.empty()) {
        AppMessageBox(kStreetNotFound);
        return -1;
    }
    if (candidates.size() == 1)
        return candidates.front();
    std::vector<std::string> texts;
    for (int c : candidates)
        texts.push_back(entries[static_cast<size_t>(c)]);
    const int chosen = SearchDialogs().ChooseText(texts);
    return chosen >= 0 && chosen < static_cast<int>(candidates.size()) ? candidates[static_cast<size_t>(chosen)] : -1;
}

// The record and every record that the merged pairs chain to it.
std::vector<int32_t> StreetRecords(const CStreetLists& lists, int32_t record)
{
    std::vector<int32_t> records{record};
    for (size_t i = lists.mergedKept.size(); i-- > 0;)
        if (std::find(records.begin(), records.end(), lists.mergedKept[i]) != records.end() &&
            std::find(records.begin(), records.end(), lists.mergedDropped[i]) == records.end())
            records.push_back(lists.mergedDropped[i]);
    return records;
}

} // namespace

std::vector<int> FindStreetCandidates(const std::vector<std::string>& entries, std::string_view typed)
{
    const std::string wanted = ReplaceLithuanianLetters(ToUpper1257(typed));
    std::vector<int> found;
    if (wanted.empty())
        return found;
    for (size_t i = 0; i < entries.size(); ++i)
        if (ReplaceLithuanianCapitals(ToUpper1257(entries[i])).find(wanted) != std::string::npos)
            found.push_back(static_cast<int>(i));
    return found;
}

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

    const int item = ResolveStreetItem(*streets, streetText);
    if (item < 0)
        return false;
    CDrelDoc& document = view.GetDocument();
    const auto record = static_cast<int32_t>(streets->GetItemData(item));
    const int64_t code = document.GetStreetCode(record);

    if (!houseText.empty()) {
        CAddressResult result;
        if (document.CollectStreetAddresses(code, houseText, result)) {
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
    layer->ShowRecords(StreetRecords(document.Streets().Lists(), record), view, true);
    document.LabelStreetAddresses(code, view);
    ViewHost().SetMessageText(streetText);
    return true;
}
