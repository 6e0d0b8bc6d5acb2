#pragma once

#include "shell/widgets/MainFrame.h"

#include <QDialog>

#include <string>
#include <vector>

class CInfoListBox;

// The object information window (dialog 135 "Informacija apie objektą"):
// modeless and resizable, its list (CInfoListBox) filling it. The main
// window makes it on first use and keeps it until the user closes it or
// the main window closes it; each request replaces the whole list.
class CObjectInfoDlg : public QDialog, public IObjectInfoWindow {
public:
    static constexpr int kDialogId = 135;

    explicit CObjectInfoDlg(QWidget* parent = nullptr);

    QWidget* Window() override { return this; }
    // Fills the list and shows the window when it is hidden.
    void SetInfo(const std::vector<std::string>& lines, const std::string& folder) override;
    CInfoListBox& List() const { return *m_list; }

private:
    CInfoListBox* m_list;
};
