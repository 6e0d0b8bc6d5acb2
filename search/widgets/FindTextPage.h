#pragma once

#include "search/TextSearch.h"
#include "shell/widgets/PropertySheet.h"

#include <QPixmap>

#include <vector>

class CDrawInputFilter;
class CDrelView;
class CheckTreeCtrl;
class QComboBox;
class QLineEdit;
class QTreeWidgetItem;

// The find sheet's page of texts in attribute values (dialog 342
// "Tekstas"): the text, which layers (the active one, all, or those
// checked in the tree), which fields, and "Rasti", whose hits go to the
// search results. Escape while it searches asks whether to stop.
class CDlgFindText_PP : public CPropertyPage {
public:
    static constexpr int kDialogId = 342;
    static constexpr int kTextEdit = 1017;
    static constexpr int kScopeCombo = 1013;
    static constexpr int kLayerTree = 1116;
    static constexpr int kAllFieldsRadio = 1024;
    static constexpr int kNameFieldRadio = 1025;
    static constexpr int kFindButton = 1055;

    explicit CDlgFindText_PP(CDrelView& view);

    // The pictures of the tree's items, by CSearchTreeItem::Image.
    static std::vector<QPixmap> TreeImages();

protected:
    void OnInitDialog() override;

private:
    void FillTree();
    // The active layer's item alone checked, with its members.
    void CheckActiveLayer();
    void OnScopeChanged(int scope);
    void OnFind();
    // An Escape among the keys waiting for the sheet stops the search when
    // the user agrees; the other keys are dropped.
    bool AskStop(CDrawInputFilter& input);

    CDrelView& m_view;
    std::vector<CSearchTreeItem> m_tree;
    std::vector<QTreeWidgetItem*> m_items;
    QTreeWidgetItem* m_activeItem = nullptr;
    QLineEdit* m_text = nullptr;
    QComboBox* m_scope = nullptr;
    CheckTreeCtrl* m_treeCtrl = nullptr;
};
