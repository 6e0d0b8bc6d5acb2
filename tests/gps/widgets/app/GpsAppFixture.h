#pragma once

#include "tests/shell/widgets/app/AppFixture.h"

#include "gps/GpsReceiverPort.h"
#include "gps/widgets/GpsInstall.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapGps.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/shell/FakeGps.h"

#include <QImage>

#include <string>

// The program with its toolbars and the GPS part, over a receiver port the
// test feeds and timers the test fires.
class CGpsAppFixture : public CAppFixture {
protected:
    CGpsAppFixture()
    {
        InstallMainFrameBars();
        InstallGps(receiver);
    }
    ~CGpsAppFixture() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        SetGpsHooks(nullptr);
        SetMapGpsPainter(nullptr);
    }

    // The program's icons beside it, the map open and its windows laid out.
    bool StartOn(const std::string& map)
    {
        MakeFolder(ProgramFile("Vexil"));
        for (const char* icon : {"118.ico", "119.ico", "121.ico"})
            WriteWholeFile(ProgramFile("Vexil/") + icon, ReadWholeFile(TestDataFolder() + "../../res/Vexil/" + icon));
        if (!Start({map}))
            return false;
        frame->SetTimerHostForTesting(&timers);
        child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        return child && child->GetMapView();
    }
    CDrelView& View() { return *child->GetMapView(); }
    CDrelDoc& Map() { return *frame->GetActiveMapDocument(); }
    // The geographic point at a fraction of the visible extent.
    CMapPoint GeoAt(double fx, double fy)
    {
        const CMapRect e = View().GetMapExtent();
        CMapPoint p(e.left + fx * (e.right - e.left), e.bottom + fy * (e.top - e.bottom));
        Map().MapToGeo(p);
        return p;
    }
    // The map view as it shows now.
    QImage ViewPicture()
    {
        QWidget* widget = child->GetViewWidget();
        widget->repaint();
        QCoreApplication::processEvents();
        return widget->grab().toImage();
    }
    // A pixel of pure red within a pixel of the client point.
    static bool RedNear(const QImage& picture, const CPoint& at)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((picture.pixel(at.x + dx, at.y + dy) & 0xFFFFFF) == 0xFF0000)
                    return true;
        return false;
    }
    CPoint ClientOfGeo(CMapPoint p)
    {
        Map().GeoToMap(p);
        return View().MapToClient(p);
    }

    CFakeReceiverPort port;
    CGpsReceiverPort receiver;
    CFakeTimers timers;
    CMapFrame* child = nullptr;
};
