#pragma once

#include "mapdoc/MapTool.h"

#include <functional>
#include <memory>

class CLineEditTool;

// What the view's mode switch uses of the tools of the object-editing
// modes: the selection, the pending edit that their Save carries out, and
// Clear. The editing part builds the tools on it.
class CObjectEditTool : public CMapTool {
public:
    // The pending edit that makes Save remove the selected objects.
    static constexpr int kDeleteSelected = 2;

    using CMapTool::CMapTool;

    virtual int GetSelectedCount() const = 0;
    // The layer and record of the selected object; false without one.
    virtual bool GetSelectedObject(int index, CLayer*& layer, int& record) const = 0;
    void SetPendingOperation(int operation) { m_pendingOperation = operation; }
    int GetPendingOperation() const { return m_pendingOperation; }
    // Asks message 2024 and on Yes removes the selected objects through
    // Save; then Clear. 0, asking nothing, without a selection.
    int DeleteSelectedObjects();

protected:
    int m_pendingOperation = 0;
};

// Makes the editing tools the mode switch starts itself: the drawing tool
// of mode 7 and the geometry editor of mode 9. The editing part installs
// its own; the default has no drawing tool and edits geometry with
// CLineEditTool.
class IEditToolMaker {
public:
    virtual ~IEditToolMaker() = default;
    virtual std::unique_ptr<CMapTool> MakeDrawTool(CDrelView& view) { return nullptr; }
    virtual std::unique_ptr<CLineEditTool> MakeLineEditTool(CDrelView& view);
};

IEditToolMaker& EditToolMaker();
// The caller keeps ownership; null restores the default.
void SetEditToolMaker(IEditToolMaker* maker);
