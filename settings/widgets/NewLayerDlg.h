#pragma once

#include "mapdoc/DocCommands.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <string>

class CDrelDoc;
class QComboBox;
class QLineEdit;
class QPushButton;

// What dialogs 102 and 30772 share: the layer name (1004) and file name
// (1005) edits, "F&ailai..." (1006), and OK enabled only while both are
// filled. OK refuses a name a layer of the document has (1001), a file of
// an open map (1074) and, unless the user says Yes to replacing it
// (2000), a file that is there; the path comes back absolute against the
// map's folder.
class CLayerNamesDlg : public CDialogBase {
public:
    static constexpr int kNameEdit = 1004, kFileEdit = 1005, kFilesButton = 1006;

    const std::string& GetName() const { return m_name; }
    const std::string& GetPath() const { return m_path; }
    void SetNames(std::string name, std::string path);
    // After OK: the user agreed to replace the file there.
    bool IsReplaceConfirmed() const { return m_replaceConfirmed; }
    // The save dialog of "F&ailai...": the path proposed and chosen, the
    // filter; Qt's file dialog unless set.
    std::function<bool(std::string& path, const std::string& filter)> chooseFile;

protected:
    CLayerNamesDlg(CDrelDoc& document, QWidget* parent);
    // The edits, the type combo when there is one, and the buttons.
    void MakeForm(QWidget* typeCombo);
    virtual std::string GetFileFilter() const = 0;

    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void UpdateOk();
    void OnFiles();

    CDrelDoc& m_document;
    std::string m_name;
    std::string m_path;
    bool m_replaceConfirmed = false;
    QLineEdit* m_nameEdit;
    QLineEdit* m_fileEdit;
    QPushButton* m_ok = nullptr;
};

// Dialog 102 "Sluoksnio kūrimas": the names and the type (combo 1007,
// "Taškas", "Linija", "Sritis"), which the caller may leave fixed; the
// file types "F&ailai..." offers come from the mask (1 GDB, 2 DBF, 4
// track, 8 Shapefile).
class CNewLayerDlg : public CLayerNamesDlg {
public:
    static constexpr int kTypeCombo = 1007;

    CNewLayerDlg(CDrelDoc& document, const CNewLayerOptions& options, QWidget* parent = nullptr);

    // The type index 0 to 2.
    int GetType() const { return m_type; }
    void SetType(int type) { m_type = type; }

protected:
    std::string GetFileFilter() const override;
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    CNewLayerOptions m_options;
    int m_type = 0;
};

// Dialog 30772 "Sluoksnio kūrimas": the names alone; "F&ailai..." offers
// GDB, DBF and track files, elevation models, or DBF files, as told.
class CLayerFileDlg : public CLayerNamesDlg {
public:
    CLayerFileDlg(CDrelDoc& document, const CLayerFileOptions& options, QWidget* parent = nullptr);

protected:
    std::string GetFileFilter() const override;

private:
    CLayerFileOptions m_options;
};

// The hooks' forms of the two dialogs, modal over the active window: the
// names (and type) proposed and chosen, the user's Yes to replacing the
// file in the options; false when cancelled.
bool RunNewLayerDialog(CDrelDoc& document, std::string& name, std::string& path, int& type,
                       CNewLayerOptions& options);
bool RunLayerFileDialog(CDrelDoc& document, std::string& name, std::string& path, CLayerFileOptions& options);
