#pragma once

#include "core/DbfTable.h"
#include "mapdoc/SearchDialogs.h"

#include <functional>
#include <string>
#include <vector>

// The search part's dialogs answering from members. Installed for its lifetime.
class CScriptedSearchDialogs : public ISearchDialogs {
public:
    CScriptedSearchDialogs() { SetSearchDialogs(this); }
    ~CScriptedSearchDialogs() override { SetSearchDialogs(nullptr); }

    int ChooseText(const std::vector<std::string>& texts) override
    {
        choices.push_back(texts);
        return chosenText;
    }
    bool EditPlacemark(CDbfTable& table, CLayer&) override
    {
        editedRecords.push_back(table.GetCurrentRecord());
        if (whileEditing)
            whileEditing();
        if (acceptPlacemark && !description.empty())
            table.SetField(table.FindField("DESCR"), description);
        return acceptPlacemark;
    }
    bool AskPointCoordinates(CMapPoint& point, bool geographic) override
    {
        askedGeographic.push_back(geographic);
        point = typedPoint;
        return pointTyped;
    }
    void ShowObjectsAtPoint(const CMapPoint& point, const std::vector<CObjectHit>& found, double within,
                            CDrelView&, const CPoint& screen) override
    {
        ++objectLists;
        hits = found;
        distance = within;
        screenPoint = screen;
    }

    int chosenText = -1;
    std::vector<std::vector<std::string>> choices;
    bool acceptPlacemark = true;
    std::string description;
    std::function<void()> whileEditing;
    std::vector<int> editedRecords;
    CMapPoint typedPoint;
    bool pointTyped = true;
    std::vector<bool> askedGeographic;
    int objectLists = 0;
    std::vector<CObjectHit> hits;
    double distance = -1;
    CPoint screenPoint;
};
