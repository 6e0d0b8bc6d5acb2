#pragma once

#include "search/LayerNames.h"

#include <string>
#include <vector>

class CDrelView;
class CLayer;

// The object page of the find sheet without its window: the layers whose
// objects it finds by name, the names of the chosen one, and what its
// buttons do with the entry the user means. Messages are the user's.
class CObjectFinder {
public:
    using LoadResult = CLayerNames::LoadResult;
    static constexpr LoadResult kLoaded = CLayerNames::kLoaded;
    static constexpr LoadResult kNoNameField = CLayerNames::kNoNameField;
    static constexpr LoadResult kNotOpened = CLayerNames::kNotOpened;

    explicit CObjectFinder(CDrelView& view);

    // The vector layers the legend shows, groups asked, that have a name
    // field or are the active layer, in name order.
    const std::vector<CLayer*>& Layers() const { return m_layers; }
    // The active layer's place in Layers(); -1 when it is none of them.
    int GetStartLayer() const { return m_startLayer; }

    // Reads the names of Layers()[index], folded when asked. Without the
    // name field the list holds only "Neapibrėžtas vardo laukas." (standing
    // for no record); a file that does not open leaves it empty.
    LoadResult LoadNames(int index, bool fold);
    CLayer* GetLayer() const { return m_objects.GetLayer(); }
    const CNameList& Names() const { return m_objects.Names(); }
    // The count after "Iš viso:": "?" without the name field.
    std::string GetCountText() const;
    void SetFolded(bool fold) { m_objects.SetFolded(fold); }

    // The buttons, on an entry of Names() (CLayerNames). Show marks every
    // record the entry stands for and zooms to them.
    void Show(int entry);
    void ShowInfo(int entry) { m_objects.ShowInfo(entry); }
    int EditInfo(int entry) { return m_objects.EditInfo(entry); }
    bool Delete(int entry) { return m_objects.Delete(entry); }

private:
    CDrelView& m_view;
    std::vector<CLayer*> m_layers;
    int m_startLayer = -1;
    CLayerNames m_objects;
};
