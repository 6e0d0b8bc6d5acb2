#include "shell/widgets/PictureWindows.h"

#include "platform/Icon.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "render/ImageStream.h"
#include "shell/PictureWindowRules.h"
#include "shell/widgets/PictureFrame.h"
#include "shell/widgets/PictureWnd.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

#include <memory>

namespace {

constexpr int kCannotOpenFile = 1007;
constexpr int kNoMemory = 1005;
constexpr int kWindowIcon = 128;

QString WindowTitle(const std::string& title, const std::string& path)
{
    if (!title.empty())
        return ToQString(title);
    const std::string::size_type slash = path.find_last_of("\\/");
    return ToQString(slash == std::string::npos ? path : path.substr(slash + 1));
}

// Sized to the picture within the screen, placed down and right of the
// parent's client area by the cascade, and shown.
void ShowPictureWindow(CScrollFrame& window, CSize picture, const QString& title, QWidget* parent,
                       CPictureCascade& cascade)
{
    window.setAttribute(Qt::WA_DeleteOnClose);
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    window.setWindowTitle(title);
    CIcon icon;
    if (icon.LoadResource(kWindowIcon))
        window.setWindowIcon(QIcon(QPixmap::fromImage(*icon.Image())));

    QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect screenArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize screenSize = screen ? screen->size() : screenArea.size();
    const int frame = window.frameWidth() * 2;
    const CSize client = PictureClientSize(picture, CSize(screenSize.width(), screenSize.height()));
    // Scroll bars come inside the client area when the picture is cut.
    window.resize(client.cx + frame, client.cy + frame);
    // No larger than the whole picture needs.
    window.setMaximumSize(std::max(picture.cx, 1) + frame, std::max(picture.cy, 1) + frame);

    const QStyle* style = window.style();
    CFrameMetrics metrics;
    metrics.captionHeight = style->pixelMetric(QStyle::PM_TitleBarHeight);
    metrics.frameWidth = metrics.frameHeight = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    const QPoint origin = parent ? parent->geometry().topLeft() : screenArea.topLeft();
    const CSize offset = cascade.Next(metrics);
    const CRect placed = KeepOnScreen(CRect(CPoint(origin.x() + offset.cx, origin.y() + offset.cy),
                                            CSize(window.width(), window.height())),
                                      CRect(screenArea.left(), screenArea.top(), screenArea.right() + 1,
                                            screenArea.bottom() + 1));
    window.move(placed.left, placed.top);
    window.show();
}

bool CanOpen(const std::string& path)
{
    CxStdioStream file;
    return file.Open(path, "rb");
}

} // namespace

int OpenBitmapWindow(const std::string& path, const std::string& title, QWidget* parent)
{
    static CPictureCascade cascade;
    CxImage picture;
    const BitmapFileError error = ReadBitmapFile(path, picture);
    if (error != BitmapFileError::kNone) {
        ShowBitmapFileError(error, path);
        return 0;
    }
    const CSize size(picture.GetWidth(), picture.GetHeight());
    auto* window = new CPictureFrame(picture, parent);
    ShowPictureWindow(*window, size, WindowTitle(title, path), parent, cascade);
    return 1;
}

int OpenPictureWindow(const std::string& path, const std::string& title, QWidget* parent)
{
    static CPictureCascade cascade;
    if (!CanOpen(path)) {
        AppMessageBoxArg(kCannotOpenFile, path);
        return 0;
    }
    auto picture = std::make_unique<CPicture>();
    if (picture->Load(path) != 1) {
        if (picture->WasTooLarge())
            AppMessageBox(kNoMemory);
        return 0;
    }
    const CSize size = picture->GetSize();
    auto* window = new CPictureWnd(std::move(picture), parent);
    ShowPictureWindow(*window, size, WindowTitle(title, path), parent, cascade);
    return 1;
}
