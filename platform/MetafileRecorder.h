#pragma once

#include "platform/Brush.h"
#include "platform/DCRecorder.h"
#include "platform/Font.h"
#include "platform/Pen.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CDC;

// What the enhanced and the Windows metafile recorders share: they follow
// what a player has selected and set at each point of the file, so a
// drawing call writes only the objects and values that changed since the
// last one, and objects of equal value are created once. The object table
// stays small: when it is full the longest unused object that no state
// (current or saved) has selected is deleted and its slot used again.
class CMetafileRecorder : public IDCRecorder {
public:
    // An object as the format writes it: a stock object, or the type and
    // body (without the slot) of the record that creates it.
    struct ObjectRecord {
        bool stock = false;
        std::uint32_t stockIndex = 0;
        std::uint32_t type = 0;
        std::string body;
    };

    explicit CMetafileRecorder(const CDC& dc, bool recordsMapping);

    void SaveDC() override;
    void RestoreDC(int relative) override;

    // Slots the object table ever needed.
    int SlotsUsed() const { return m_slotsUsed; }

protected:
    // What a drawing call needs the player to have.
    enum Need : unsigned {
        kPen = 1,
        kBrush = 2,
        kFont = 4,
        kTextColour = 8,
        kBkColour = 16,
        kBkMode = 32,
        kRop2 = 64,
        kFillMode = 128,
        kAlign = 256,
        kStretch = 512,
        kMiter = 1024,
        kBrushOrg = 2048,
    };
    static constexpr unsigned kStroke = kPen | kRop2 | kBkMode | kBkColour | kMiter;
    static constexpr unsigned kFill = kBrush | kRop2 | kFillMode | kBkMode | kBkColour | kTextColour | kBrushOrg;
    static constexpr unsigned kTextDrawing = kFont | kTextColour | kBkMode | kBkColour | kAlign;

    // Values a call uses in place of the context's.
    struct Overrides {
        const CPen* pen = nullptr;
        const CBrush* brush = nullptr;
        int rop2 = 0;
        bool hasAlign = false;
        unsigned align = 0;
    };

    enum class ValueKind { TextColour, BkColour, BkMode, Rop2, FillMode, Align, Stretch };

    // What a fill of a rectangle with a brush uses: no outline, the brush,
    // and no raster operation.
    static Overrides RectangleFill(const CBrush& brush);
    static const CPen& NullPen();

    // Brings the player up to the context for the calls' needs, mapping first.
    void Sync(unsigned needs);
    void Sync(unsigned needs, const Overrides& overrides);

    virtual ObjectRecord EncodePen(const CPen& pen) = 0;
    // Patterns take the colours they draw in now.
    virtual ObjectRecord EncodeBrush(const CBrush& brush, COLORREF text, COLORREF background) = 0;
    virtual ObjectRecord EncodeFont(const CFont& font) = 0;
    virtual void EmitCreate(int slot, const ObjectRecord& object) = 0;
    virtual void EmitSelect(int slot, const ObjectRecord& object) = 0;
    virtual void EmitDelete(int slot) = 0;
    virtual void EmitValue(ValueKind kind, std::uint32_t value) = 0;
    virtual void EmitMiterLimit(float limit) = 0;
    virtual void EmitBrushOrg(CPoint origin) = 0;
    virtual void EmitMapMode(int mode) = 0;
    virtual void EmitWindowExt(CSize extent) = 0;
    virtual void EmitViewportExt(CSize extent) = 0;
    virtual void EmitWindowOrg(CPoint origin) = 0;
    virtual void EmitViewportOrg(CPoint origin) = 0;
    virtual void EmitSaveDC() = 0;
    virtual void EmitRestoreDC(int relative) = 0;

    // A slot for an object used once (a region), deleted by ReleaseSlot.
    int AcquireTemporarySlot();
    void ReleaseSlot(int slot);

    const CDC& m_dc;

private:
    // What the player has: the keys of the selected objects (empty when
    // not known), the values and the mapping.
    struct Played {
        std::string pen, brush, font;
        COLORREF text = 0;
        COLORREF background = 0xFFFFFF;
        int bkMode = OPAQUE;
        int rop2 = R2_COPYPEN;
        int fillMode = ALTERNATE;
        unsigned align = TA_LEFT | TA_TOP;
        int stretch = BLACKONWHITE;
        float miter = 10.0f;
        CPoint brushOrg;
        int mapMode = MM_TEXT;
        CSize windowExt{1, 1};
        CSize viewportExt{1, 1};
        CPoint windowOrg;
        CPoint viewportOrg;
    };
    struct Slot {
        std::string key;
        std::uint64_t lastUse = 0;
        bool used = false;
    };

    void SyncMapping();
    void SyncObject(std::string Played::*which, const ObjectRecord& object);
    template <class T>
    void SyncValue(T Played::*which, T value, ValueKind kind);
    int FindFreeSlot();
    bool Selected(const std::string& key) const;

    bool m_recordsMapping;
    Played m_played;
    std::vector<Played> m_saved;
    std::vector<Slot> m_slots;
    std::unordered_map<std::string, int> m_byKey;
    std::uint64_t m_clock = 0;
    int m_slotsUsed = 0;
};
