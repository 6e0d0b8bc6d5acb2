#pragma once

#include "platform/Rect.h"

#include <functional>
#include <memory>

class QImage;

// The pixels of one window. Drawing code makes a DC over it and draws
// straight onto the window (rubber bands in an inverting raster operation,
// maps drawn progressively); the window shows the image and repaints what
// the DCs report as changed. A new or grown surface is white.
class CWindowSurface {
public:
    explicit CWindowSurface(int width = 0, int height = 0, int dpi = 96);
    ~CWindowSurface();
    CWindowSurface(const CWindowSurface&) = delete;
    CWindowSurface& operator=(const CWindowSurface&) = delete;

    // Keeps the pixels that still fit. Sizes are limited to 32767.
    void Resize(int width, int height);
    int Width() const;
    int Height() const;
    int Dpi() const { return m_dpi; }
    QImage& Image() { return *m_image; }
    const QImage& Image() const { return *m_image; }

    // Device rectangle that drawing touched since the last TakeChanged.
    void AddChanged(const CRect& rect);
    CRect TakeChanged();
    // Called with the changed rectangle whenever a DC over the surface is
    // flushed or released, so the window can repaint it.
    void SetChangeHandler(std::function<void(const CRect&)> handler) { m_handler = std::move(handler); }
    void Flush();

private:
    std::unique_ptr<QImage> m_image;
    int m_dpi;
    CRect m_changed;
    std::function<void(const CRect&)> m_handler;
};
