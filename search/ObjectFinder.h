#pragma once

#include "search/NameList.h"

#include <string>
#include <vector>

class CDrelView;
class CLayer;

// The object page of the find sheet without its window: the layers whose
// objects it finds by name, the names of the chosen one, and what its
// buttons do with the entry the user means. Messages are the user's.
class CObjectFinder {
public:
    enum LoadResult { kLoaded, kNoNameField, kNotOpened };

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
    CLayer* GetLayer() const { return m_layer; }
    const CNameList& Names() const { return m_names; }
    // The count after "Iš viso:": "?" without the name field.
    std::string GetCountText() const;
    void SetFolded(bool fold);

    // The buttons, on an entry of Names(). Show marks every record the
    // entry stands for and zooms to them; the others refuse an entry that
    // stands for several records (message 1038). Info asks the object
    // information window to close first on its first call.
    void Show(int entry);
    void ShowInfo(int entry);
    // The record form on the entry's record; after OK a changed name moves
    // the entry to its new place. The entry's index afterwards, -1 when
    // nothing was edited.
    int EditInfo(int entry);
    // Deletes the entry's object after asking; the entry goes only when
    // the object went.
    bool Delete(int entry);

private:
    // The entry's one record; -1 (message 1038 unless none) otherwise.
    int32_t SingleRecord(int entry) const;

    CDrelView& m_view;
    std::vector<CLayer*> m_layers;
    int m_startLayer = -1;
    CLayer* m_layer = nullptr;
    LoadResult m_loaded = kNotOpened;
    CNameList m_names;
    bool m_infoShown = false;
};
