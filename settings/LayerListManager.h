#pragma once

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// What the layer list (dialog 385) shows, set in dialog 387 and kept for
// the run: group entries as entries of one level (else the list is flat
// and lists no groups), the seven kinds of entries, and shown and hidden
// entries.
struct CLayerListSettings {
    bool groups = true;
    bool points = true;
    bool lines = true;
    bool areas = true;
    bool tracks = true;
    bool rasters = true;
    bool elevations = true;
    bool visible = true;
    bool invisible = true;

    // "Visi tipai": checked exactly when the seven kinds are.
    bool AllTypes() const;
    void SetAllTypes(bool on);
};

CLayerListSettings& LayerListSettings();

// Pictures of the list's columns, as indexes of its image list.
enum LayerListImage : int {
    kImageGroup = 1,
    kImagePoint = 2,
    kImageLine = 3,
    kImageArea = 4,
    kImageElevation = 5,
    kImageTrack = 6,
    kImageRaster = 7, // 8 field strengths, 9 visibility zones
    kImageOpenGroup = 10,
    kImageFilter = 11,
    kImageActive = 13,
    kImageNone = 14,
};

struct CLayerListRow {
    CLayer* entry = nullptr;
    bool openGroup = false; // the "[..]" row, the way back up
    int check = 0;          // 0 hidden, 1 shown, 2 a group partly shown
    int filterImage = kImageNone;
    int activeImage = kImageNone;
    int typeImage = kImageNone;
    std::string text;
};

// The page groups of the layer sheet that the manager's buttons open.
enum class ELayerListPages : int { kSymbol = 0, kLabels = 1, kFilter = 2, kNotes = 3 };

// The layer list manager's work on a document: its rows, the level shown,
// the active entry, and the changes of many entries at once. Every change
// marks the document modified and tells its views of each entry changed;
// Finish tells the overview and the map once when shown or overview
// layers changed. The open group's "[..]" row is never moved or removed.
class CLayerListManager {
public:
    // Opens the level of the active entry.
    CLayerListManager(CDrelDoc& document, CLayer* active);

    CDrelDoc& GetDocument() const { return m_document; }
    // The rows the settings let through, the open group's row first.
    std::vector<CLayerListRow> Rows() const;
    CLayer* GetOpenGroup() const { return m_openGroup; }
    // A double click: a group opens, the open group's row goes back up.
    void OpenGroup(CLayer* group);
    void GoUp();
    CLayer* GetActive() const { return m_active; }
    void SetActive(CLayer* entry) { m_active = entry; }

    // "Aukštyn" and "Žemyn": only with groups as entries, and not at the
    // ends of the level; the selection moves one place as a block.
    bool CanMove(const std::vector<CLayer*>& selection, bool up) const;
    void Move(const std::vector<CLayer*>& selection, bool up);
    // "Perkelti...": after the group's last member (null: the end of the
    // list); a group into itself or its subgroups is refused (1115) and
    // skipped. The count moved.
    int MoveInto(const std::vector<CLayer*>& selection, CLayer* group);
    // "Pašalinti" after dialog 30811; entries in use elsewhere stay.
    void Remove(const std::vector<CLayer*>& selection, bool withMembers, bool deleteFiles);
    // A check: the entry, a group with its members, shown or hidden.
    void SetShown(CLayer* entry, bool shown);

    // Whether the pages may be opened for the selection (its first entry
    // edited, the others taking the result): symbol pages of one type and
    // no group (nothing said for a group), labels of vector layers (1118)
    // of one type (1113) and scales (1117), filters of vector layers
    // (1116); notes of any. False after the message.
    bool CanEditPages(ELayerListPages pages, const std::vector<CLayer*>& selection) const;
    // After OK on the first entry's pages: the others take its settings.
    void CopyPages(ELayerListPages pages, const std::vector<CLayer*>& selection);
    // The dialog closes.
    void Finish();

private:
    bool Listed(const CLayer& entry) const;
    // The entries of the open group's level, the open group first.
    std::vector<CLayer*> Level() const;
    std::vector<CLayer*> Siblings(const CLayer* entry) const;
    // The selection without the open group's row, in the list's order.
    std::vector<CLayer*> Movable(const std::vector<CLayer*>& selection) const;
    void Changed(CLayer& entry);

    CDrelDoc& m_document;
    CLayer* m_openGroup = nullptr;
    CLayer* m_active = nullptr;
    bool m_shownChanged = false;
    bool m_overviewChanged = false;
};
