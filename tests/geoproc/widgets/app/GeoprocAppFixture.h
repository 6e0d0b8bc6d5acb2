#pragma once

// The program on the demo town with geoprocessing installed, for the
// program-path tests of the layer operations.
#include "tests/shell/widgets/app/AppFixture.h"

#include "geoproc/widgets/GeoprocInstall.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/LegendView.h"
#include "platform/Codepage.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"

#include <QAbstractButton>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

class CGeoprocAppFixture : public CAppFixture {
protected:
    CGeoprocAppFixture()
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
    ~CGeoprocAppFixture() override
    {
        Stop();
        CMapFrame::Hooks().frame.document.newLayer = nullptr;
        MainFrameHooks().makeBars = nullptr;
    }

    // The demo town in a folder of its own, for the operations write beside
    // it; what is given changes its files before the program opens it.
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

    CTempDir town;
    CMapFrame* child = nullptr;
    std::vector<std::string> offered;
    std::vector<int> offeredTypes;
};
