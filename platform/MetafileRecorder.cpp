#include "platform/MetafileRecorder.h"

#include "platform/DC.h"

#include <algorithm>

namespace {

// Enough for the pens, brushes and fonts of a map's styles; players
// allocate the table whole.
constexpr int kMaxSlots = 256;

std::string KeyOf(const CMetafileRecorder::ObjectRecord& object);

} // namespace

CMetafileRecorder::CMetafileRecorder(const CDC& dc, bool recordsMapping) : m_dc(dc), m_recordsMapping(recordsMapping)
{
}

void CMetafileRecorder::SaveDC()
{
    EmitSaveDC();
    m_saved.push_back(m_played);
}

void CMetafileRecorder::RestoreDC(int relative)
{
    const auto depth = static_cast<long long>(m_saved.size());
    if (relative >= 0 || -static_cast<long long>(relative) > depth)
        return;
    EmitRestoreDC(relative);
    const auto level = static_cast<std::size_t>(depth + relative);
    m_played = m_saved[level];
    m_saved.resize(level);
}

CMetafileRecorder::Overrides CMetafileRecorder::RectangleFill(const CBrush& brush)
{
    Overrides with;
    with.pen = &NullPen();
    with.brush = &brush;
    with.rop2 = R2_COPYPEN;
    return with;
}

const CPen& CMetafileRecorder::NullPen()
{
    static const CPen pen = CPen::FromStock(NULL_PEN);
    return pen;
}

void CMetafileRecorder::Sync(unsigned needs)
{
    Sync(needs, Overrides{});
}

void CMetafileRecorder::Sync(unsigned needs, const Overrides& overrides)
{
    if (m_recordsMapping)
        SyncMapping();
    if (needs & kPen)
        SyncObject(&Played::pen, EncodePen(overrides.pen ? *overrides.pen : m_dc.GetCurrentPen()));
    if (needs & kBrush)
        SyncObject(&Played::brush, EncodeBrush(overrides.brush ? *overrides.brush : m_dc.GetCurrentBrush(),
                                               m_dc.GetTextColor(), m_dc.GetBkColor()));
    if (needs & kFont)
        SyncObject(&Played::font, EncodeFont(m_dc.GetCurrentFont()));
    if (needs & kTextColour)
        SyncValue(&Played::text, m_dc.GetTextColor(), ValueKind::TextColour);
    if (needs & kBkColour)
        SyncValue(&Played::background, m_dc.GetBkColor(), ValueKind::BkColour);
    if (needs & kBkMode)
        SyncValue(&Played::bkMode, m_dc.GetBkMode(), ValueKind::BkMode);
    if (needs & kRop2)
        SyncValue(&Played::rop2, overrides.rop2 ? overrides.rop2 : m_dc.GetROP2(), ValueKind::Rop2);
    if (needs & kFillMode)
        SyncValue(&Played::fillMode, m_dc.GetPolyFillMode(), ValueKind::FillMode);
    if (needs & kAlign)
        SyncValue(&Played::align, overrides.hasAlign ? overrides.align : m_dc.GetTextAlign(), ValueKind::Align);
    if (needs & kStretch)
        SyncValue(&Played::stretch, m_dc.GetStretchBltMode(), ValueKind::Stretch);
    if ((needs & kMiter) && m_played.miter != m_dc.GetMiterLimit()) {
        m_played.miter = m_dc.GetMiterLimit();
        EmitMiterLimit(m_played.miter);
    }
    if ((needs & kBrushOrg) && !(m_played.brushOrg == m_dc.GetBrushOrg())) {
        m_played.brushOrg = m_dc.GetBrushOrg();
        EmitBrushOrg(m_played.brushOrg);
    }
}

void CMetafileRecorder::SyncMapping()
{
    Played& p = m_played;
    if (p.mapMode != m_dc.GetMapMode()) {
        p.mapMode = m_dc.GetMapMode();
        EmitMapMode(p.mapMode);
        // A fixed mode brings its own extents.
        p.windowExt = CSize(0, 0);
        p.viewportExt = CSize(0, 0);
    }
    const bool extents = p.mapMode == MM_ISOTROPIC || p.mapMode == MM_ANISOTROPIC;
    if (extents && !(p.windowExt == m_dc.GetWindowExt())) {
        p.windowExt = m_dc.GetWindowExt();
        EmitWindowExt(p.windowExt);
    }
    if (extents && !(p.viewportExt == m_dc.GetViewportExt())) {
        p.viewportExt = m_dc.GetViewportExt();
        EmitViewportExt(p.viewportExt);
    }
    if (!(p.windowOrg == m_dc.GetWindowOrg())) {
        p.windowOrg = m_dc.GetWindowOrg();
        EmitWindowOrg(p.windowOrg);
    }
    if (!(p.viewportOrg == m_dc.GetViewportOrg())) {
        p.viewportOrg = m_dc.GetViewportOrg();
        EmitViewportOrg(p.viewportOrg);
    }
}

void CMetafileRecorder::SyncObject(std::string Played::*which, const ObjectRecord& object)
{
    const std::string key = KeyOf(object);
    const auto found = m_byKey.find(key);
    if (found != m_byKey.end())
        m_slots[static_cast<std::size_t>(found->second)].lastUse = ++m_clock;
    if (m_played.*which == key)
        return;
    if (object.stock) {
        EmitSelect(-1, object);
        m_played.*which = key;
        return;
    }
    int slot = 0;
    if (found != m_byKey.end()) {
        slot = found->second;
    } else {
        slot = FindFreeSlot();
        EmitCreate(slot, object);
        m_slots[static_cast<std::size_t>(slot)] = Slot{key, ++m_clock, true};
        m_byKey.emplace(key, slot);
    }
    EmitSelect(slot, object);
    m_played.*which = key;
}

template <class T>
void CMetafileRecorder::SyncValue(T Played::*which, T value, ValueKind kind)
{
    if (m_played.*which == value)
        return;
    m_played.*which = value;
    EmitValue(kind, static_cast<std::uint32_t>(value));
}

bool CMetafileRecorder::Selected(const std::string& key) const
{
    auto in = [&](const Played& p) { return p.pen == key || p.brush == key || p.font == key; };
    return in(m_played) || std::any_of(m_saved.begin(), m_saved.end(), in);
}

int CMetafileRecorder::FindFreeSlot()
{
    // Players hand out the lowest free slot; so does this.
    int slot = -1;
    for (std::size_t i = 0; i < m_slots.size() && slot < 0; ++i)
        if (!m_slots[i].used)
            slot = static_cast<int>(i);
    if (slot < 0 && static_cast<int>(m_slots.size()) >= kMaxSlots) {
        std::size_t oldest = m_slots.size();
        for (std::size_t i = 0; i < m_slots.size(); ++i)
            if (!m_slots[i].key.empty() && !Selected(m_slots[i].key) &&
                (oldest == m_slots.size() || m_slots[i].lastUse < m_slots[oldest].lastUse))
                oldest = i;
        if (oldest < m_slots.size()) {
            slot = static_cast<int>(oldest);
            ReleaseSlot(slot);
        }
    }
    if (slot < 0) {
        slot = static_cast<int>(m_slots.size());
        m_slots.emplace_back();
    }
    m_slotsUsed = std::max(m_slotsUsed, slot + 1);
    return slot;
}

int CMetafileRecorder::AcquireTemporarySlot()
{
    const int slot = FindFreeSlot();
    m_slots[static_cast<std::size_t>(slot)] = Slot{{}, ++m_clock, true};
    return slot;
}

void CMetafileRecorder::ReleaseSlot(int slot)
{
    Slot& s = m_slots[static_cast<std::size_t>(slot)];
    EmitDelete(slot);
    if (!s.key.empty())
        m_byKey.erase(s.key);
    s = Slot{};
}

namespace {

std::string KeyOf(const CMetafileRecorder::ObjectRecord& object)
{
    if (object.stock)
        return "stock " + std::to_string(object.stockIndex);
    return std::to_string(object.type) + ":" + object.body;
}

} // namespace
