#include "settings/widgets/LayerPropSheet.h"

#include "layers/Layer.h"
#include "mapdoc/DocumentHost.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "settings/BaseScales.h"
#include "settings/StylePageRules.h"
#include "settings/widgets/LayerDBPage.h"
#include "settings/widgets/LayerDefPage.h"
#include "settings/widgets/LayerFilterPage1.h"
#include "settings/widgets/LayerNotesPage.h"
#include "settings/widgets/LayerScalePage.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kSheetCaption = 131;
constexpr int kCancelText = 3001;
constexpr int kCloseTableFirst = 1087;

} // namespace

CLayer& CLayerSheetPage::Layer() const
{
    return m_sheet.GetWorkingLayer();
}

CSublayer* CLayerSheetPage::Band() const
{
    return Layer().GetSublayer(Sheet().CurrentBand());
}

void CLayerSheetPage::FillBands(QComboBox& bands) const
{
    const int count = Layer().GetSublayerCount();
    int& current = Sheet().CurrentBand();
    if (current < 0 || current >= count)
        current = 0;
    bands.clear();
    for (const std::string& text : BandTexts(Layer()))
        bands.addItem(ToQString(text));
    bands.setCurrentIndex(count ? current : -1);
}

CLayerSheetHooks& LayerSheetHooks()
{
    static CLayerSheetHooks hooks;
    return hooks;
}

CLayerPropSheet::CLayerPropSheet(QWidget* parent) : CPropertySheet(LoadString(kSheetCaption), parent)
{
    const CLayerSheetHooks& hooks = LayerSheetHooks();
    const auto add = [this](LayerSheetPage which, std::unique_ptr<CLayerSheetPage> page) {
        if (page)
            m_pages.emplace_back(which, std::move(page));
    };
    const auto made = [this](const CLayerSheetHooks::PageFactory& factory) {
        return factory ? factory(*this) : nullptr;
    };
    add(LayerSheetPage::kGeneral, std::make_unique<CLayerDefPage>(*this));
    add(LayerSheetPage::kTable, std::make_unique<CLayerDBPage>(*this));
    add(LayerSheetPage::kSymbol, made(hooks.symbolPage));
    add(LayerSheetPage::kLabels, made(hooks.labelsPage));
    add(LayerSheetPage::kFilter, std::make_unique<CLayerFilterPage1>(*this));
    add(LayerSheetPage::kScale, std::make_unique<CLayerScalePage>(*this));
    add(LayerSheetPage::kTrackFilter, made(hooks.trackFilterPage));
    add(LayerSheetPage::kNotes, std::make_unique<CLayerNotesPage>(*this));
    for (const auto& [which, page] : m_pages)
        AddPage(page.get());
}

CLayerPropSheet::CLayerPropSheet(NoPages, QWidget* parent) : CPropertySheet(LoadString(kSheetCaption), parent) {}

// The pages go before the working copy they edit.
CLayerPropSheet::~CLayerPropSheet()
{
    m_pages.clear();
}

void CLayerPropSheet::SetWorkingCopy(CLayer& layer, CDrelDoc* document)
{
    m_edited = &layer;
    m_document = document;
    m_working = std::make_unique<CLayer>(layer);
    m_currentBand = 0;
}

void CLayerPropSheet::SetLayer(CLayer& layer, CDrelDoc* document, int pageGroup)
{
    SetWorkingCopy(layer, document);
    const std::vector<LayerSheetPage> kept = LayerSheetPages(layer.GetType(), pageGroup);
    std::vector<LayerSheetPage> shown;
    for (const auto& [which, page] : m_pages) {
        if (std::find(kept.begin(), kept.end(), which) == kept.end())
            RemovePage(page.get());
        else if (GetPageIndex(page.get()) >= 0)
            shown.push_back(which);
    }
    SetActivePage(LayerSheetStartPage(shown, layer.GetType(), GetLastLayerSheetPage()));
}

CLayerSheetPage* CLayerPropSheet::FindPage(LayerSheetPage which) const
{
    for (const auto& [kind, page] : m_pages)
        if (kind == which && GetPageIndex(page.get()) >= 0)
            return page.get();
    return nullptr;
}

bool CLayerPropSheet::IsNameTaken(const std::string& name) const
{
    return m_document && m_edited && IsLayerNameTaken(name, *m_edited, *m_document);
}

bool CLayerPropSheet::EditTableStructure(QWidget* parent) const
{
    const CLayerSheetHooks& hooks = LayerSheetHooks();
    if (!hooks.tableStructure)
        return false;
    // The window's edits would go to the table that the rebuild leaves as
    // the backup.
    if (DocumentHost().IsAttributeTableOpen(m_edited ? *m_edited : *m_working)) {
        AppMessageBox(kCloseTableFirst);
        return false;
    }
    return hooks.tableStructure(m_working->GetTablePath(), parent);
}

void CLayerPropSheet::ApplyToLayer(CLayer& layer) const
{
    if (m_working)
        layer.Copy(*m_working);
}

void CLayerPropSheet::OnInitDialog()
{
    CPropertySheet::OnInitDialog();
    GetCancelButton()->setText(ToQString(LoadString(kCancelText)));
}

bool RunLayerPropSheet(CLayer& layer, CDrelDoc* document, int pageGroup)
{
    CLayerPropSheet sheet(QApplication::activeWindow());
    sheet.SetLayer(layer, document, pageGroup);
    if (sheet.GetPageCount() == 0 || sheet.DoModal() != IDOK)
        return false;
    const std::string oldName = layer.GetName();
    sheet.ApplyToLayer(layer);
    if (document)
        FollowPlacemarksLayerRename(*document, layer, oldName);
    return true;
}
