#pragma once

#include "settings/LayerSheetRules.h"
#include "shell/widgets/PropertySheet.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CDrelDoc;
class CFilterCondition;
class CLayer;
class CLayerPropSheet;
class CSublayer;
class QComboBox;

// A page of the layer property sheet. It edits the sheet's working copy of
// the layer, which exists from SetLayer on (before any page is made).
class CLayerSheetPage : public CPropertyPage {
public:
    // The pages are at least as large as the general page, so the sheet
    // keeps its size from page to page.
    static constexpr int kMinWidth = 480, kMinHeight = 250;

    CLayerSheetPage(std::string caption, CLayerPropSheet& sheet) : CPropertyPage(std::move(caption)), m_sheet(sheet)
    {
        setMinimumSize(kMinWidth, kMinHeight);
    }

protected:
    CLayerPropSheet& Sheet() const { return m_sheet; }
    // The working copy.
    CLayer& Layer() const;
    // The working copy's sublayer on the sheet's current band, if any.
    CSublayer* Band() const;
    // The band texts into the combo, with the sheet's current band kept in range.
    void FillBands(QComboBox& bands) const;

private:
    CLayerPropSheet& m_sheet;
};

// What the sheet takes from later parts of the program, set by their
// installers. A missing page is left out of the sheet, a missing dialog
// disables the buttons that open it. A page is made with the sheet, before
// the working copy exists; it reaches the copy from OnInitDialog on, and
// when left writes its LayerSheetPageNumber with SetLastLayerSheetPage
// (settings/BaseScales.h), as the sheet's own pages do.
struct CLayerSheetHooks {
    using PageFactory = std::function<std::unique_ptr<CLayerSheetPage>(CLayerPropSheet& sheet)>;
    // Dialog 152 "Ženklas" and dialog 153 "Užrašai": the styles of the
    // working copy's sublayers, on the sheet's current band.
    PageFactory symbolPage;
    PageFactory labelsPage;
    // Dialog 227 "Filtras": the filter of a track layer.
    PageFactory trackFilterPage;
    // Dialog 160 "Duomenų bazės struktūra" on the table; true after OK
    // (the table rebuilt).
    std::function<bool(const std::string& tablePath, QWidget* parent)> tableStructure;
    // Dialog 319 "Filtro sąlyga" over the layer's fields, preset with the
    // condition when it names a field; true after OK, the condition then
    // holding the field, operator and value chosen.
    std::function<bool(const CLayer& layer, CFilterCondition& condition, QWidget* parent)> filterCondition;
    // Dialog 261 "Sluoksnio failų sąrašas": the files of a layer made of
    // many files; true after OK, the layer holding the new list.
    std::function<bool(CLayer& layer, QWidget* parent)> layerFiles;
};

CLayerSheetHooks& LayerSheetHooks();

// The modal sheet "Sluoksnio parametrai" over a working copy of a layer:
// the general, table, symbol, labels, filter, scale, track filter and
// notes pages, those of the layer's type and page group kept. Only
// ApplyToLayer (after OK) changes the layer.
class CLayerPropSheet : public CPropertySheet {
public:
    explicit CLayerPropSheet(QWidget* parent = nullptr);
    ~CLayerPropSheet() override;

    // The layer of the document (null in tests) and the page group (-1
    // all pages); the sheet starts on the page left last.
    void SetLayer(CLayer& layer, CDrelDoc* document, int pageGroup = -1);
    CLayer& GetWorkingLayer() const { return *m_working; }
    CLayer* GetEditedLayer() const { return m_edited; }
    CDrelDoc* GetDocument() const { return m_document; }
    // The band the symbol and labels pages show, 0 when the sheet opens
    // and after the bands changed.
    int& CurrentBand() { return m_currentBand; }
    // The page of the kind while the sheet holds it; null otherwise.
    CLayerSheetPage* FindPage(LayerSheetPage which) const;
    bool IsNameTaken(const std::string& name) const;
    // Dialog 160 on the working copy's table, refused (message 1087) while
    // the layer's table window is open; true after OK.
    bool EditTableStructure(QWidget* parent) const;
    void ApplyToLayer(CLayer& layer) const;

protected:
    // A sheet of other pages over the same working copy: none added here.
    struct NoPages {};
    CLayerPropSheet(NoPages, QWidget* parent);
    // Remembers the layer and the document and makes the working copy.
    void SetWorkingCopy(CLayer& layer, CDrelDoc* document);

    void OnInitDialog() override;

private:
    std::unique_ptr<CLayer> m_working;
    CLayer* m_edited = nullptr;
    CDrelDoc* m_document = nullptr;
    int m_currentBand = 0;
    // Every page there is, in the order of the sheet.
    std::vector<std::pair<LayerSheetPage, std::unique_ptr<CLayerSheetPage>>> m_pages;
};

// Runs the sheet on the layer, modal over the active window: on OK the
// layer takes the working copy and the document's placemarks layer follows
// a rename. False when cancelled or when the group leaves no page.
bool RunLayerPropSheet(CLayer& layer, CDrelDoc* document, int pageGroup);
