#pragma once

#include "mapdoc/DocumentHost.h"
#include "mapdoc/ToolbarBox.h"
#include "platform/Collation.h"
#include "tests/mapdoc/DocTestSupport.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// A toolbar box in memory: a sorted list keeps Lithuanian order, equal
// texts in the order they came.
class CFakeToolbarBox : public IToolbarBox {
public:
    CFakeToolbarBox(int id, bool sorted) : m_id(id), m_sorted(sorted) {}

    int GetId() const override { return m_id; }
    void ResetContent() override
    {
        items.clear();
        text.clear();
        selection = -1;
        ++resets;
    }
    int AddString(const std::string& item, intptr_t data = 0) override
    {
        auto at = items.end();
        if (m_sorted)
            at = std::upper_bound(items.begin(), items.end(), item, [](const std::string& t, const auto& e) {
                return CompareLithuanian(t, e.first) < 0;
            });
        // Begin only after the insertion, which may move the items.
        const auto inserted = items.insert(at, {item, data});
        return static_cast<int>(inserted - items.begin());
    }
    int GetCount() const override { return static_cast<int>(items.size()); }
    std::string GetItemText(int index) const override { return Valid(index) ? items[index].first : std::string(); }
    intptr_t GetItemData(int index) const override { return Valid(index) ? items[index].second : 0; }
    int GetCurSel() const override { return selection; }
    void SetCurSel(int index) override { selection = Valid(index) ? index : -1; }
    std::string GetText() const override { return text.empty() && Valid(selection) ? items[selection].first : text; }
    void SetText(const std::string& t) override { text = t; }
    void Enable(bool on) override { enabled = on; }
    bool IsEnabled() const override { return enabled; }
    CDrelDoc* GetOwnerDocument() const override { return owner; }
    void SetOwnerDocument(CDrelDoc* document) override { owner = document; }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& item : items)
            texts.push_back(item.first);
        return texts;
    }

    std::vector<std::pair<std::string, intptr_t>> items;
    std::string text;
    int selection = -1;
    bool enabled = false;
    CDrelDoc* owner = nullptr;
    int resets = 0;

private:
    bool Valid(int index) const { return index >= 0 && index < GetCount(); }
    int m_id;
    bool m_sorted;
};

// The recording host with the address toolbar's three boxes.
class CAddressBoxHost : public CRecordingHost {
public:
    explicit CAddressBoxHost(CCallLog& log) : CRecordingHost(log) {}

    IToolbarBox* GetAddressBox(AddressBox which) override
    {
        return which == AddressBox::kCity ? &city : which == AddressBox::kStreet ? &street : &house;
    }
    void EnableAddressBox(AddressBox which, bool on) override
    {
        CFakeToolbarBox& box = static_cast<CFakeToolbarBox&>(*GetAddressBox(which));
        box.Enable(on);
        if (which == AddressBox::kHouseNumber)
            box.ResetContent();
    }
    const IAdminSearchSettings* GetAdminSearchBarSettings() const override { return barSettings; }
    void SetAdminSearchBarSettings(const IAdminSearchSettings* settings) override { barSettings = settings; }

    CFakeToolbarBox city{30438, true};
    CFakeToolbarBox street{30328, true};
    CFakeToolbarBox house{30332, false};
    const IAdminSearchSettings* barSettings = nullptr;
};
