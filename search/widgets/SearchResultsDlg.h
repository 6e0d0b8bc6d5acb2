#pragma once

#include "shell/widgets/DialogBase.h"

#include <QPointer>

class CDrelView;
class CListViewEx;
class CSearchResultsModel;
class CTextSearchResults;
class QLabel;

// Dialog 374 "Paieškos rezultatai": the hits of a text search, at most
// kMostHits, by layer, field and value, sorted by a column when its header
// is clicked (again: the other way round). Its buttons show, describe or
// delete the selected hit's object. It stands at the map view's top-left
// corner; the window that opened it is hidden meanwhile.
class CSearchResultsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 374;
    static constexpr int kList = 1014;
    static constexpr int kCount = 1059;
    static constexpr int kShowButton = 1; // the default button shows, it does not close
    static constexpr int kInfoButton = 1056;
    static constexpr int kEditButton = 1055;
    static constexpr int kDeleteButton = 1089;

    // opener: hidden while the dialog shows; null for none.
    CSearchResultsDlg(const CTextSearchResults& results, CDrelView& view, QWidget* opener);
    ~CSearchResultsDlg() override;

    CListViewEx& List() const { return *m_list; }
    // The hit of a row as the list shows it now; -1 for no row.
    int HitOfRow(int row) const;
    int GetRowCount() const;
    // As a click on the column's header does.
    void SortBy(int column);

    void done(int result) override;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    int SelectedHit() const;
    void OnInfo();
    void OnDelete();
    void UpdateCount();

    const CTextSearchResults& m_results;
    CDrelView& m_view;
    QPointer<QWidget> m_opener;
    CSearchResultsModel* m_model;
    CListViewEx* m_list;
    QLabel* m_count;
};
