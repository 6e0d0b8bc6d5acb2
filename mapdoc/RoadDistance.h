#pragma once

#include "mapdoc/MeasureLineTool.h"
#include "platform/Point.h"

#include <memory>
#include <vector>

class IRoadRouter;

// The distance along the road network of one view: clicked points, each
// after the first joined to the one before by a leg routed over the
// network and ending at the point snapped onto it. The view keeps it
// after its tool is gone and draws it under every tool until command
// 30627 clears it.
class CRoadDistance : public CDistanceMeasureTool {
public:
    static constexpr int kSymbolFirst = 183;
    static constexpr int kSymbolJoint = 79;
    static constexpr int kSymbolLast = 185;

    // The router comes from the document's routing settings; without a
    // routing layer clicks do nothing.
    explicit CRoadDistance(CDrelView* view);
    ~CRoadDistance() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnLButtonDblClk(unsigned flags, int x, int y) override;
    int OnKeyDown(int key, int repeat, unsigned flags) override;
    void OnKillFocus() override;
    // Closes the box.
    void Clear() override;
    void DrawAfterCopy(CDC& dc) override;
    void DrawAfterRebuild(CDC& dc) override;

    // Points and legs go, the total is 0 and a shown box says so.
    void ClearMeasure();
    bool CanRoute() const { return m_router != nullptr; }
    const std::vector<CMapPointArray>& GetLegs() const { return m_legs; }

protected:
    // A symbol of the library centred on a logical point.
    virtual void DrawEndSymbol(CDC& dc, const CPoint& at, int symbol);

private:
    void DrawLegs(CDC& dc);
    double LegLengthKm(const CMapPointArray& leg) const;

    std::unique_ptr<IRoadRouter> m_router;
    std::vector<CMapPointArray> m_legs; // m_legs[i] joins point i to point i + 1
};

// Mode 23: hands its events to the view's road distance, made by the
// first of these tools.
class CRoadDistanceTool : public CMapTool {
public:
    static constexpr int kCursor = 113;

    explicit CRoadDistanceTool(CDrelView* view);
    ~CRoadDistanceTool() override;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnMouseMove(unsigned flags, int x, int y) override;
    int OnLButtonDblClk(unsigned flags, int x, int y) override;
    int OnKeyDown(int key, int repeat, unsigned flags) override;
    void OnKillFocus() override;
    // Closes the measure's box and moves its band home.
    void Clear() override;

    CRoadDistance* GetMeasure() const { return m_measure; }

private:
    CRoadDistance* m_measure;
};
