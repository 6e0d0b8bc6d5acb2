#pragma once

#include "layers/Layer.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "settings/BaseScales.h"
#include "settings/widgets/LayerPropSheet.h"
#include "shell/widgets/ControlIds.h"
#include "tests/settings/ParcelLayer.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A page that a later part of the program would plug in: its caption,
// and the number it leaves as the last page (-1 none).
class CPlugPage : public CLayerSheetPage {
public:
    CPlugPage(std::string caption, CLayerPropSheet& sheet, int number)
        : CLayerSheetPage(std::move(caption), sheet), m_number(number)
    {
    }

protected:
    bool OnKillActive() override
    {
        if (m_number >= 0)
            SetLastLayerSheetPage(m_number);
        return true;
    }

private:
    int m_number;
};

// Answers whether a layer's table window is open.
class CTableWindows : public IDocumentHost {
public:
    CTableWindows() { SetDocumentHost(this); }
    ~CTableWindows() override { SetDocumentHost(nullptr); }
    bool IsAttributeTableOpen(const CLayer& layer) override { return &layer == open; }
    const CLayer* open = nullptr;
};

// A map of the parcels layer and two others, and the sheet shown
// modeless as the modal run would show it.
class CSheetFixture : public ::testing::Test, private CWithApplication {
protected:
    CSheetFixture()
    {
        parcel = parcels.layer.get();
        doc.AddLayer(std::move(parcels.layer), false);
        roads = Add("Keliai", parcels.dir.File("keliai.shp"), CLayer::kLine);
        SetLastLayerSheetPage(0);
    }
    ~CSheetFixture() override
    {
        sheet.reset();
        LayerSheetHooks() = CLayerSheetHooks();
        SetLastLayerSheetPage(0);
    }
    CLayer* Add(const std::string& name, const std::string& path, int type)
    {
        auto layer = std::make_unique<CLayer>(name, path, type);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return added;
    }
    // The symbol, labels and track filter pages of later parts, as plain pages.
    static void PlugPages()
    {
        CLayerSheetHooks& hooks = LayerSheetHooks();
        hooks.symbolPage = [](CLayerPropSheet& s) { return std::make_unique<CPlugPage>("\xDE" "enklas", s, 2); };
        hooks.labelsPage = [](CLayerPropSheet& s) { return std::make_unique<CPlugPage>("U\xFEra\xF0" "ai", s, 3); };
        hooks.trackFilterPage = [](CLayerPropSheet& s) {
            return std::make_unique<CPlugPage>("Trasos filtras", s, -1);
        };
    }
    CLayerPropSheet& Open(CLayer& layer, int group = -1)
    {
        sheet = std::make_unique<CLayerPropSheet>();
        sheet->SetLayer(layer, &doc, group);
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        sheet->activateWindow();
        return *sheet;
    }
    std::vector<std::string> Tabs() const
    {
        std::vector<std::string> tabs;
        const QTabBar* bar = sheet->findChild<QTabBar*>();
        for (int i = 0; i < bar->count(); ++i)
            tabs.push_back(FromQString(bar->tabText(i)));
        return tabs;
    }
    // The active page's control.
    template <class T = QWidget>
    T* Control(int id) const
    {
        T* control = FindControl<T>(sheet->GetActivePage(), id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    // OK as the user presses it; the layer takes the working copy as the
    // modal run does. False when the sheet stayed.
    bool Ok(CLayer& layer)
    {
        sheet->GetOkButton()->click();
        if (sheet->isVisible())
            return false;
        sheet->ApplyToLayer(layer);
        return true;
    }
    bool Visible(int id) const { return Control(id)->isVisibleTo(sheet.get()); }
    bool Enabled(int id) const { return Control(id)->isEnabled(); }

    CScriptedUserServices user;
    CParcelLayer parcels;
    CDrelDoc doc;
    CLayer* parcel;
    CLayer* roads;
    std::unique_ptr<CLayerPropSheet> sheet;
};
