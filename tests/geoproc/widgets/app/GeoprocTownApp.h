#pragma once

// The program on the demo town in a folder of its own, with the
// geoprocessing installed and dialog 102 taking its proposals.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/Shape.h"
#include "geoproc/widgets/GeoprocInstall.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/LegendView.h"
#include "platform/Codepage.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <QAbstractButton>
#include <QTest>

#include <functional>

class CGeoprocTownApp : public CAppFixture {
protected:
    CGeoprocTownApp()
    {
        InstallMainFrameBars();
        InstallGeoprocessing();
        // Dialog 102 comes with the layer management: here it takes the proposals.
        CMapFrame::Hooks().frame.document.newLayer = [this](CDrelDoc&, std::string& name, std::string&, int& type,
                                                            CNewLayerOptions&) {
            offered.push_back(name);
            offeredTypes.push_back(type);
            return true;
        };
    }
    ~CGeoprocTownApp() override
    {
        Stop();
        CMapFrame::Hooks().frame.document.newLayer = nullptr;
        MainFrameHooks().makeBars = nullptr;
    }

    // The demo town in a folder of its own, for the operations write
    // beside it; beforeStart may change its files first.
    bool StartInTown(const std::function<void()>& beforeStart = {})
    {
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(town.Path(), options, error)) << error;
        if (beforeStart)
            beforeStart();
        if (!Start({town.File(CDemoMapWriter::kMapFile)}))
            return false;
        child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
        Settle();
        return child != nullptr;
    }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    CDrelDoc& Map() { return child->GetMapDocument(); }
    // The layer of the name (UTF-8) selected in the legend; null when none.
    CLayer* Select(const char* utf8Name)
    {
        CLayer* layer = Map().Layers().FindByName(Utf8ToCp1257(utf8Name));
        if (layer)
            child->GetLegend()->SelectLayer(layer);
        return layer;
    }
    static void Press(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static double TotalArea(const std::vector<CReadObject>& objects)
    {
        double area = 0;
        for (const CReadObject& object : objects)
            area += object.shape.Area();
        return area;
    }

    CTempDir town;
    CMapFrame* child = nullptr;
    std::vector<std::string> offered;
    std::vector<int> offeredTypes;
};
