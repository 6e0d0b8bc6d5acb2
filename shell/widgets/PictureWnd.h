#pragma once

#include "render/Picture.h"
#include "shell/widgets/ScrollFrame.h"

#include <memory>

// The window of a picture of any kind the loader reads
// (OpenPictureWindow), drawn at its pixel size, scrolled; Escape closes
// it. Deletes itself when closed.
class CPictureWnd : public CScrollFrame {
public:
    // Takes the loaded picture over.
    CPictureWnd(std::unique_ptr<CPicture> picture, QWidget* parent);

    const CPicture& GetPicture() const { return *m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<CPicture> m_picture;
};
