#pragma once

// The small modeless result boxes of the measuring tools, over the view,
// made by the view's window (IViewWindow); each box formats its values
// itself. A box lives as long as the object; destroying it closes the
// box. Lengths are kilometres, areas square kilometres, azimuths degrees.
class IDistanceBox {
public:
    virtual ~IDistanceBox() = default;
    virtual void SetDistances(double segmentKm, double totalKm) = 0;
};

class IAreaPerimeterBox {
public:
    virtual ~IAreaPerimeterBox() = default;
    virtual void SetValues(double areaKm2, double perimeterKm) = 0;
};

class IAzimuthBox {
public:
    virtual ~IAzimuthBox() = default;
    virtual void SetAzimuths(double forward, double back) = 0;
};

// Box 30741 "Trumpiausias maršrutas": the length of the route found.
class IRouteLengthBox {
public:
    virtual ~IRouteLengthBox() = default;
    virtual void SetLength(double km) = 0;
};
