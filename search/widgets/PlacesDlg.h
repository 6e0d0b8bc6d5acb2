#pragma once

#include "search/PlacesManager.h"
#include "shell/widgets/DialogBase.h"

#include <functional>

class CDrelDoc;
class QListWidget;

// Dialog 389 "Vietų tvarkymas": the map's saved places removed one by
// one or all, or shown in the active map view while it stays open.
class CPlacesDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 389;
    static constexpr int kPlaceList = 1014;
    static constexpr int kRemoveButton = 1055;
    static constexpr int kRemoveAllButton = 1056;
    static constexpr int kShowButton = 1089;

    // The view "Parodyti" zooms: the active map view, null when none.
    using ViewOf = std::function<CDrelView*()>;

    CPlacesDlg(CDrelDoc& document, ViewOf view, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;

private:
    void Fill(int selection);
    void UpdateButtons();
    int Selection() const;
    void OnRemove();
    void OnRemoveAll();
    void OnShow();

    CPlacesManager m_places;
    ViewOf m_view;
    QListWidget* m_list;
};
