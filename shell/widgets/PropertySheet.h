#pragma once

#include "shell/widgets/DialogBase.h"

#include <QWidget>

#include <string>
#include <vector>

class CDataExchange;
class CPropertySheet;
class QPushButton;
class QStackedWidget;
class QTabBar;

// One page of a property sheet. Its controls are made when the page is
// first shown (OnInitDialog); a page that was never shown takes no part in
// OK. Leaving the page asks OnKillActive, which exchanges its fields and
// may refuse: the page then stays, with the focus on the refused field.
class CPropertyPage : public QWidget {
public:
    // The caption of the page's tab, code page 1257.
    explicit CPropertyPage(std::string caption);
    // A page that goes first leaves its sheet.
    ~CPropertyPage() override;

    const std::string& GetCaption() const { return m_caption; }
    bool IsCreated() const { return m_created; }
    bool UpdateData(bool save);
    CPropertySheet* GetSheet() const { return m_sheet; }

protected:
    friend class CPropertySheet;

    // Makes the controls and loads them.
    virtual void OnInitDialog();
    // Every time the page is shown; after the first, the controls are
    // loaded again from the members.
    virtual void OnSetActive();
    // False keeps the page.
    virtual bool OnKillActive();
    // The sheet's OK, to every page that was shown, after the current
    // page was left.
    virtual void OnOK() {}
    virtual void OnCancel() {}
    virtual void DoDataExchange(CDataExchange& dx) {}

private:
    std::string m_caption;
    CPropertySheet* m_sheet = nullptr;
    bool m_created = false;
    bool m_firstSetActive = true;
};

// A modal sheet of pages with OK and Cancel and no Apply button. The
// pages stay the caller's (usually members of the sheet's subclass).
class CPropertySheet : public CDialogBase {
public:
    // The window caption, code page 1257.
    explicit CPropertySheet(const std::string& caption, QWidget* parent = nullptr);
    // Lets the pages go without deleting them.
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page);
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    // -1 before the sheet shows.
    int GetActiveIndex() const { return m_active; }
    CPropertyPage* GetActivePage() const { return GetPage(m_active); }
    // Before the sheet shows, the page it starts on, held to the pages
    // there are then. While it shows, moves there when the current page
    // lets go; false when it refused.
    bool SetActivePage(int index);

    QPushButton* GetOkButton() const { return m_ok; }
    QPushButton* GetCancelButton() const { return m_cancel; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnTabChanged(int index);
    void ShowPage(int index);
    void SelectTab(int index);

    QTabBar* m_tabs;
    QStackedWidget* m_stack;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    std::vector<CPropertyPage*> m_pages;
    int m_startPage = 0;
    int m_active = -1;
    bool m_shown = false;
    bool m_selecting = false;
};
