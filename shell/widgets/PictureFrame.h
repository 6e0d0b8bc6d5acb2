#pragma once

#include "render/XImage.h"
#include "shell/widgets/ScrollFrame.h"

class CDC;

// The window of a bitmap file (OpenBitmapWindow): the bitmap at 1:1,
// scrolled; printed across the page's width. Deletes itself when closed.
class CPictureFrame : public CScrollFrame {
public:
    // Takes the picture over.
    CPictureFrame(CxImage& picture, QWidget* parent);

    const CxImage& GetPicture() const { return m_picture; }
    // Prints through the print dialog; the pages printed.
    int Print();
    // The picture across the page's width, its aspect kept; 1 when drawn.
    int PrintPicture(CDC& dc) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CxImage m_picture;
};
