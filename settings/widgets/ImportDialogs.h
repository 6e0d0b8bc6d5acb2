#pragma once

#include "settings/ImportRules.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <memory>
#include <string>

class CCoordConverter;
class CDbfTable;
class CLayer;
class CLayerArray;

// Dialog 178 "DBF failo importas": the file (1017, shown) and, in
// "Koordinačių laukai", the longitude (1012 "Ilguma/X:") and latitude
// (1021 "Platuma/Y:") fields, editable combos of the table's fields in
// table order, at first "lon" and "lat"; "Konvertuoti iš DOS į ANSI
// (Windows) ženklų lentelę" (1015).
class CDbfImportDlg : public CDialogBase {
public:
    static constexpr int kFileEdit = 1017, kXCombo = 1012, kYCombo = 1021, kDosCheck = 1015;

    CDbfImportDlg(const CDbfTable& table, std::string path, QWidget* parent = nullptr);
    const std::string& GetXField() const { return m_xField; }
    const std::string& GetYField() const { return m_yField; }
    bool GetDosText() const { return m_dosText != 0; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::string m_path;
    std::string m_xField = "lon";
    std::string m_yField = "lat";
    int m_dosText = 0;
};

// Dialog 177 "Drel GDB (DOS) failo importas": the table (1007, shown) and
// the map description it belongs to (1017, at most 254 characters),
// chosen by "&Failai..." (1055) among "*.map" files.
class CDosGdbImportDlg : public CDialogBase {
public:
    static constexpr int kTableEdit = 1007, kMapEdit = 1017, kFilesButton = 1055;

    CDosGdbImportDlg(std::string tablePath, std::string mapPath, QWidget* parent = nullptr);
    const std::string& GetMapPath() const { return m_mapPath; }
    // The open dialog of "&Failai...": the path proposed and chosen, the
    // filter; Qt's file dialog unless set.
    std::function<bool(std::string& path, const std::string& filter)> chooseFile;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnFiles();

    std::string m_tablePath;
    std::string m_mapPath;
};

// Dialog 194 "Sluoksnio importas": the file (1017), a new layer (1024) or
// the objects attached to a layer (1025) named in combo 1012 (the layers
// whose objects may be edited), and, when the caller allows it, a
// transformation (1015) between two coordinate systems (1021, 1022 with
// labels 1059, 1060). OK refuses attaching without a layer (1039) and
// transforming without both systems (1040).
class CLayerImportDlg : public CDialogBase {
public:
    static constexpr int kFileEdit = 1017, kNewRadio = 1024, kAttachRadio = 1025, kLayerCombo = 1012,
                         kTransformCheck = 1015, kFromCombo = 1021, kToCombo = 1022, kFromLabel = 1059,
                         kToLabel = 1060;

    CLayerImportDlg(const CLayerArray& layers, std::string path, bool transformAllowed = true,
                    QWidget* parent = nullptr);
    const CLayerImportValues& GetValues() const { return m_values; }
    // The converter of the transformation chosen; none without one.
    std::unique_ptr<CCoordConverter> CreateCoordConverter() const;

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void UpdateControls();

    std::string m_path;
    bool m_transformAllowed;
    CLayerImportValues m_values;
};

// Dialog 30784 "Duomenų importas": the key field of the layer's table
// (1012) and of the imported table (1021), fields of types C, F and N;
// "Konvertuoti iš DOS į ANSI (Windows) ženklų lentelę" (1015). OK does
// nothing until both are chosen.
class CImportKeysDlg : public CDialogBase {
public:
    static constexpr int kLayerKeyCombo = 1012, kImportKeyCombo = 1021, kDosCheck = 1015;

    CImportKeysDlg(const CDbfTable& layerTable, const CDbfTable& importTable, QWidget* parent = nullptr);
    const std::string& GetLayerKey() const { return m_layerKey; }
    const std::string& GetImportKey() const { return m_importKey; }
    bool GetDosText() const { return m_dosText != 0; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    int m_layerChoice = -1;
    int m_importChoice = -1;
    std::string m_layerKey;
    std::string m_importKey;
    int m_dosText = 0;
};

// Dialog 316 "Importavimo parametrai": the file (1017), the layer linked
// (1012, the point, line and area layers; the active one at first) and
// the mode: data joined to each object (1024, 0) or an object for each
// record (1025, 1). OK without a layer beeps and stays.
class CImportParamsDlg : public CDialogBase {
public:
    static constexpr int kFileEdit = 1017, kLayerCombo = 1012, kJoinRadio = 1024, kObjectsRadio = 1025;

    CImportParamsDlg(const CLayerArray& layers, CLayer* active, std::string path, QWidget* parent = nullptr);
    CLayer* GetLayer() const { return m_layer; }
    int GetMode() const { return m_mode; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::string m_path;
    CLayer* m_layer;
    int m_mode = 0;
};

// Dialog 315 "Informacija apie importą": the records skipped (1059 after
// "Praleista įrašų:") and the key values not found (1017 "Nerastos
// reikšmės:"), as given.
class CImportInfoDlg : public CDialogBase {
public:
    static constexpr int kSkippedText = 1059, kValuesEdit = 1017;

    CImportInfoDlg(std::string skipped, std::string values, QWidget* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::string m_skipped;
    std::string m_values;
};
