#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"
#include "render/Picture.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>

// The control of window class "PictureCtrl": one picture centred in a
// sunken box. A picture larger than the box is dragged around with the
// mouse; in a pick mode a click on the picture hands its owner the
// pixel's colour (cursor 133) or the point from the picture's top left
// (cursor 134) instead.
class CPictureCtrl : public QWidget {
public:
    enum PickCursor { kNoPick = 0, kColourPick = 133, kPointPick = 134 };
    static constexpr char kClassName[] = "PictureCtrl";

    explicit CPictureCtrl(QWidget* parent = nullptr);
    ~CPictureCtrl() override;

    // Loads the picture (a stored-form path) and centres it; an empty path
    // or a picture that does not load leaves the box empty. True when loaded.
    bool SetPicture(const std::string& path);
    bool IsLoaded() const { return m_loaded; }
    const CPicture& GetPicture() const { return m_picture; }
    // In client coordinates; empty without a picture.
    const CRect& GetPictureRect() const { return m_pictureRect; }

    // 0, 133 or 134.
    void SetPickCursor(int id);
    int GetPickCursor() const { return m_pickCursor; }

    // Who receives what is picked: a colour, a picture point.
    void SetColourPicked(std::function<void(COLORREF)> picked) { m_colourPicked = std::move(picked); }
    void SetPointPicked(std::function<void(CPoint)> picked) { m_pointPicked = std::move(picked); }

    QSize sizeHint() const override { return {160, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CRect ClientRect() const { return {0, 0, width(), height()}; }

    CPicture m_picture;
    // The picture drawn once at its size over the button face.
    QImage m_drawn;
    bool m_loaded = false;
    int m_pickCursor = kNoPick;
    CRect m_pictureRect;
    CSize m_dragOffset;
    bool m_dragging = false;
    std::function<void(COLORREF)> m_colourPicked;
    std::function<void(CPoint)> m_pointPicked;
};
