#pragma once

#include "search/ObjectChoice.h"
#include "shell/widgets/DialogBase.h"

#include <cstdint>
#include <string>
#include <vector>

class CDrelView;
class CLayer;
class QListWidget;

// A list of names to choose one from ("Objekto pasirinkimas"): the first
// is selected; OK or a double click takes the selected one.
class CNameChoiceDlg : public CDialogBase {
public:
    static constexpr int kList = 1014;

    CNameChoiceDlg(int dialogId, const std::vector<std::string>& names, QWidget* parent);

    QListWidget& List() const { return *m_list; }
    // The name chosen by OK; -1 before, or after Cancel.
    int GetChosen() const { return m_chosen; }

protected:
    void OnOK() override;

private:
    QListWidget* m_list;
    int m_chosen = -1;
};

// Dialog 30776: a candidate of a name typed, or of objects of layers.
class CObjectChoiceDlg : public CNameChoiceDlg {
public:
    static constexpr int kDialogId = 30776;
    explicit CObjectChoiceDlg(const std::vector<CObjectCandidate>& candidates, QWidget* parent = nullptr);
};

// Dialog 198: one of the objects of a layer found at a point, each shown
// on the map as it is selected: OK takes its record, and the marks go.
class CChooseObjectDlg : public CNameChoiceDlg {
public:
    static constexpr int kDialogId = 198;
    CChooseObjectDlg(const std::vector<int32_t>& records, const std::vector<std::string>& names, CLayer& layer,
                     CDrelView& view, QWidget* parent = nullptr);

    // The record chosen; -1 when cancelled.
    int32_t GetRecord() const;
    void done(int result) override;

private:
    void ShowSelected();

    const std::vector<int32_t>& m_records;
    CLayer& m_layer;
    CDrelView& m_view;
};

// -1 for no record, the only one without asking, else the one chosen in
// dialog 198 (-1 when cancelled).
int ChooseObject(const std::vector<int32_t>& records, const std::vector<std::string>& names, CLayer& layer,
                 CDrelView& view);
