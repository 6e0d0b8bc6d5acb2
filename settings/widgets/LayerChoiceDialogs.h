#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class CDrelDoc;
class CLayer;
class QComboBox;
class QListWidget;

// Dialog 132 "Konteksto lango sluoksniai": check list 1014 of every layer
// of the document but group entries, checked while shown in the overview
// (0x20); OK sets and clears the flag by the checks.
class COverviewLayersDlg : public CDialogBase {
public:
    static constexpr int kList = 1014;

    explicit COverviewLayersDlg(CDrelDoc& document, QWidget* parent = nullptr);
    QListWidget* GetList() const { return m_list; }

protected:
    void OnOK() override;

private:
    QListWidget* m_list;
};

// Dialog 30799 "Sluoksniai": combo 1012 of the line layers of the active
// map document; OK hands back the layer its text names (nothing happens
// while it is empty). Without a map document it shows message 1316 and
// closes with Cancel.
class CLayerChoiceDlg : public CDialogBase {
public:
    static constexpr int kCombo = 1012;

    explicit CLayerChoiceDlg(CDrelDoc* document, QWidget* parent = nullptr);
    CLayer* GetLayer() const { return m_layer; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CDrelDoc* m_document;
    QComboBox* m_combo;
    CLayer* m_layer = nullptr;
};

// Dialog 30765 "Sluoksnio failų sąrašas": list 1014 of the files of a layer
// made of many files; OK makes the selected file the layer's path (no
// selection: nothing happens).
class CLayerFilesDlg : public CDialogBase {
public:
    static constexpr int kList = 1014;

    explicit CLayerFilesDlg(CLayer& layer, QWidget* parent = nullptr);
    QListWidget* GetList() const { return m_list; }

protected:
    void OnOK() override;

private:
    CLayer& m_layer;
    QListWidget* m_list;
};

// Dialog 30761 "Redaguoti legendą": the lowest and highest values (edits
// 1017 and 1007) and the number of intervals (combo 1012, at most two
// characters, offering "0", "1", "2", "5" and "10").
class CLegendEditDlg : public CDialogBase {
public:
    static constexpr int kMinimumEdit = 1017, kMaximumEdit = 1007, kIntervalsCombo = 1012;

    CLegendEditDlg(double minimum, double maximum, std::string intervals, QWidget* parent = nullptr);
    double GetMinimum() const { return m_minimum; }
    double GetMaximum() const { return m_maximum; }
    const std::string& GetIntervals() const { return m_intervals; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    double m_minimum;
    double m_maximum;
    std::string m_intervals;
};

// The hooks' forms, modal over the active window: 132 over the document
// (true on OK), and 30765 on a layer made of many files (false when
// cancelled).
bool RunOverviewLayersDialog(CDrelDoc& document);
bool ChooseOneLayerFile(CLayer& layer);
