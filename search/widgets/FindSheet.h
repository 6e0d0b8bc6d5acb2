#pragma once

#include "search/widgets/FindAddressPage.h"
#include "search/widgets/FindCoordPage.h"
#include "search/widgets/FindObjectPage.h"
#include "search/widgets/FindTextPage.h"
#include "shell/widgets/PropertySheet.h"

class CDrelView;

// The find sheet "Paieška" of a map view (command 30431): its pages search
// the view's map by object name, address, text and coordinates, each
// showing what it found and leaving the sheet open, which its one button
// closes. It opens on the page of the last search, at the top-left corner
// of its parent's client area.
class CDlgFindPropertySheet : public CPropertySheet {
public:
    static constexpr int kCaption = 137;
    static constexpr int kCloseText = 3047;

    CDlgFindPropertySheet(CDrelView& view, QWidget* parent);

protected:
    void OnInitDialog() override;

private:
    CDlgFindOject_PP m_objectPage;
    CDlgFindAddress_PP m_addressPage;
    CDlgFindText_PP m_textPage;
    CDlgFindCoord_PP m_coordPage;
};

// The sheet for the view, modal over the parent.
void RunFindSheet(CDrelView& view, QWidget* parent);
