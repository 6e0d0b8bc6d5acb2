#pragma once

#include "platform/Brush.h"
#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/Pen.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// What the enhanced and the Windows metafile players share: the target
// context, set up so that the file's logical units are its own, the
// object table, and the state kept beside the target's.
class CMetafilePlayer {
public:
    // rect: where the picture goes, in logical units of dc.
    CMetafilePlayer(CDC& dc, const CRect& rect);
    ~CMetafilePlayer();
    CMetafilePlayer(const CMetafilePlayer&) = delete;
    CMetafilePlayer& operator=(const CMetafilePlayer&) = delete;

    // False, and nothing to play, when the rectangle has no area.
    bool Ready() const { return m_ready; }

protected:
    struct Object {
        enum Kind { None, Pen, Brush, Font, Region, Other } kind = None;
        CPen pen;
        CBrush brush;
        CFont font;
        // A brush pattern with colours of its own (0 bits, 1 bits).
        bool ownColours = false;
        COLORREF colour0 = 0;
        COLORREF colour1 = 0;
        // A region of a Windows metafile, in its logical units.
        std::vector<CRect> rects;
    };

    // The objects of a file, at most as many as its header says.
    class CObjectTable {
    public:
        void Reset(std::size_t capacity);
        // At an index the file gives; false outside the table.
        bool Put(std::uint32_t index, Object object);
        // At the lowest free index, as Windows metafiles number them; -1 when full.
        int Add(Object object);
        const Object* At(std::uint32_t index) const;
        void Remove(std::uint32_t index);

    private:
        std::vector<Object> m_objects;
        std::size_t m_capacity = 0;
        std::set<std::uint32_t> m_free;
    };

    // An affine map along each axis from the file's logical units to device
    // pixels of the target, made the target's mapping.
    void SetMapping(double sx, double tx, double sy, double ty);
    // Target device pixels of the file's logical units.
    double TargetX(double x) const { return m_sx * x + m_tx; }
    double TargetY(double y) const { return m_sy * y + m_ty; }
    // The corners of the picture's rectangle in device pixels of the target.
    CPoint DestA() const { return m_destA; }
    CPoint DestB() const { return m_destB; }

    void Save();
    void Restore(int relative);
    void Select(const Object& object);
    // Fills with the selected brush take its own colours when it has them.
    template <class Draw>
    void WithBrushColours(Draw draw)
    {
        if (!m_state.ownColours) {
            draw();
            return;
        }
        const COLORREF text = m_dc.SetTextColor(m_state.colour0);
        const COLORREF background = m_dc.SetBkColor(m_state.colour1);
        draw();
        m_dc.SetTextColor(text);
        m_dc.SetBkColor(background);
    }
    // Combines a region (target device pixels; null: none) into the clip,
    // never reaching beyond the picture's rectangle.
    void Clip(const CRgn* region, int mode);
    // The clip after a path or rectangle changed it, kept within the picture.
    void KeepClipInside();
    void DrawText(CPoint reference, const std::string& text, unsigned options, const CRect* rect);
    // Curves and arcs as the polylines the target draws.
    void PolyBezier(const std::vector<CPoint>& points, bool fromCurrent);
    void Arc(const CRect& box, CPoint start, CPoint end, int kind);
    void RoundRect(const CRect& box, CSize corner);
    // A DIB whose pixels the target's blits cannot read (16 or 32 bits)
    // as 24 bits; the others as they are. False for a header that is none.
    // A pen of the style word of a pen record.
    static CPen OldStylePen(std::uint32_t style, int width, COLORREF colour);
    // A brush of a pattern DIB: the top left 8 x 8 pixels of a 1-bit one
    // (with its own colours unless the player's text and background
    // colours are to paint it), else a solid brush of the mean colour.
    static Object PatternBrush(const DibData& dib, bool ownColours);
    // A region of target device pixels from rectangles; many rectangles
    // give their bounding box.
    static CRgn RegionOf(const std::vector<CRect>& rects);
    static bool UsableDib(const std::uint8_t* info, std::size_t infoSize, const std::uint8_t* bits,
                          std::size_t bitsSize, std::vector<std::uint8_t>& converted, DibData& dib);

    CDC& m_dc;
    CObjectTable m_objects;

    // Kept beside the target's state and saved with it.
    struct State {
        bool ownColours = false;
        COLORREF colour0 = 0;
        COLORREF colour1 = 0;
        // The file's own mapping (enhanced metafiles) and world transform.
        int mapMode = MM_TEXT;
        CPoint windowOrg, viewportOrg;
        CSize windowExt{1, 1}, viewportExt{1, 1};
        double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    };
    State m_state;

private:
    bool m_ready = false;
    int m_saved = 0;
    CPoint m_destA, m_destB;
    std::vector<State> m_stack;
    CRgn m_inside;
    double m_sx = 1, m_tx = 0, m_sy = 1, m_ty = 0;
};
