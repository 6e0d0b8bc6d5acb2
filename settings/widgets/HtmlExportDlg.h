#pragma once

#include "settings/HtmlExport.h"
#include "shell/widgets/DialogBase.h"

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
class QComboBox;
class QListWidget;

// Dialog 362 "Išsaugojimas HTML formatu": the page's title, the layer of
// the clickable objects (points, areas and tracks of the map, after
// "<Nėra>"), the character set and whether the browser shows the page;
// "Parametrai..." (1055) chooses the layer's fields in dialog 30804, which
// OK opens at once while none is chosen.
class CHtmlExportDlg : public CDialogBase {
public:
    CHtmlExportDlg(CDrelDoc& document, const CHtmlExportOptions& options, QWidget* parent = nullptr);

    const CHtmlExportOptions& GetOptions() const { return m_options; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void OnLayerChanged(int index);
    // Dialog 30804 for the chosen layer; true on its OK.
    bool RunFieldsDialog();
    CLayer* ChosenLayer() const;

    CDrelDoc& m_document;
    CHtmlExportOptions m_options;
    std::vector<CLayer*> m_layers; // behind the combo's entries after "<Nėra>"
    QComboBox* m_layerCombo;
};

// Dialog 30804 "Išsaugojimas HTML formatu": the fields of the tooltips
// (checked, shown fields by their captions), whether their names show,
// and the field of the links.
class CHtmlFieldsDlg : public CDialogBase {
public:
    CHtmlFieldsDlg(CLayer& layer, const std::vector<std::string>& infoFields, const std::string& linkField,
                   int showNames, QWidget* parent = nullptr);

    const std::vector<std::string>& GetInfoFields() const { return m_infoFields; }
    const std::string& GetLinkField() const { return m_linkField; }
    int GetShowNames() const { return m_showNames; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    CLayer& m_layer;
    std::vector<std::string> m_infoFields;
    std::string m_linkField;
    int m_showNames;
    QListWidget* m_fieldList;
    QComboBox* m_linkCombo;
};

// Dialog 362 over the options of the view's map; on OK they are changed.
bool EditHtmlExportOptions(CDrelView& view, CHtmlExportOptions& options);
