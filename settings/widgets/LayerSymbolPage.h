#pragma once

#include "settings/widgets/LayerPropSheet.h"

#include <functional>
#include <string>
#include <vector>

class CSublayer;
class CStyleSampleButton;
class CThemeClassListBox;
class QComboBox;
struct CPointStyle;

// The dialogs the symbol page opens that other parts of this folder make,
// set by their installers. While one is empty the page's "Ženklas..."
// stays disabled where it would open it. Each is modal over the parent
// and true after OK, the value then the one chosen.
struct CSymbolPageHooks {
    // The point symbol sheet (string 106 "Sutartinis ženklas") on a point style.
    std::function<bool(CPointStyle& style, QWidget* parent)> pointSymbols;
    // Dialog 159 "Sutartiniai ženklai": a library symbol number (a
    // negative one when none was chosen).
    std::function<bool(int& symbol, QWidget* parent)> signList;
    // Dialog 137 "Teminiai ženklai": the classes of a band of the layer (a
    // band of the sheet's working copy).
    std::function<bool(CLayer& layer, CSublayer& band, QWidget* parent)> thematic;
};

CSymbolPageHooks& SymbolPageHooks();

// Dialog 152 "Ženklas" of the layer sheet: the band, the scale thresholds
// between the bands, and per band what it draws: nothing, one style, or
// classes by a field's value. Kinds, styles and flags go into the working
// copy at once.
class CLayerSymbolPage : public CLayerSheetPage {
public:
    explicit CLayerSymbolPage(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnKillActive() override;

private:
    // The sheet's current band; null for a layer without bands.
    CSublayer* Band() const;
    void FillBands();
    void Refresh();
    void ShowKind(int kind);
    bool CanEditSymbol(int kind) const;
    void OnBandChosen(int index);
    void OnKind(int kind);
    void OnSymbol();
    void OnTrackLineShown(bool shown);
    void OnTrackLine();
    void OnThresholds();
    void WriteRotationField();
    void ShowStyle();

    QComboBox* m_bands = nullptr;
    CStyleSampleButton* m_sample = nullptr;
    QComboBox* m_rotation = nullptr;
    CThemeClassListBox* m_classes = nullptr;
    // The rotation fields' names, after "<Nėra>".
    std::vector<std::string> m_rotationFields;
};
