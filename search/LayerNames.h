#pragma once

#include "search/NameList.h"

#include <cstdint>
#include <string>

class CDrelView;
class CLayer;

// The objects of one layer by the text of its name field, as the name
// boxes of the search dialogs list them, and what their buttons do with
// an entry. Messages are the user's.
class CLayerNames {
public:
    enum LoadResult { kLoaded, kNoNameField, kNotOpened };

    explicit CLayerNames(CDrelView& view) : m_view(view) {}

    // Reads every object the layer delivers (its record selection when it
    // has one, else every record its filter passes), folded when asked;
    // withoutEmpty leaves out objects without a name. Nothing is said.
    LoadResult Load(CLayer* layer, bool fold, bool withoutEmpty = false);
    LoadResult GetLoadResult() const { return m_loaded; }
    CLayer* GetLayer() const { return m_layer; }
    CDrelView& GetView() const { return m_view; }
    const CNameList& Names() const { return m_names; }
    CNameList& Names() { return m_names; }
    // Folds or unfolds the names of a loaded layer.
    void SetFolded(bool fold);

    // The buttons, on an entry of Names(); each but showing refuses an
    // entry that stands for several records (message 1038). Info asks the
    // object information window to close first on its first call.
    void ShowInfo(int entry);
    // The record form on the entry's record (message 1035 when the layer's
    // information may not be edited); after OK a changed name moves the
    // entry to its new place. The entry's index afterwards, -1 when
    // nothing was edited.
    int EditInfo(int entry);
    // Deletes the entry's object after asking; the entry goes only when
    // the object went.
    bool Delete(int entry);

private:
    // The entry's one record; -1 (message 1038 unless none) otherwise.
    int32_t SingleRecord(int entry) const;

    CDrelView& m_view;
    CLayer* m_layer = nullptr;
    LoadResult m_loaded = kNotOpened;
    CNameList m_names;
    bool m_infoShown = false;
};
