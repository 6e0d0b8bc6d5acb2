#include "shell/PictureWindowRules.h"

#include "platform/UserServices.h"
#include "render/BmpDecoder.h"
#include "render/ImageStream.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

constexpr int kCannotOpenFile = 1007;
constexpr int kReadError = 1028;
constexpr int kNotPicture = 1029;
constexpr char kTooLargeText[] = "Per didelis";
// The BMP decoder's word for pixels missing or cut short.
constexpr std::string_view kCorrupted = "Corrupted BMP";

} // namespace

CSize PictureClientSize(CSize picture, CSize screen)
{
    return {std::min(picture.cx, screen.cx * 4 / 5), std::min(picture.cy, screen.cy * 4 / 5)};
}

CSize CPictureCascade::Next(const CFrameMetrics& frame)
{
    const int n = m_opened % kSteps;
    m_opened = n + 1;
    return {n * (frame.captionHeight + frame.frameWidth), n * (frame.captionHeight + frame.frameHeight) + kExtraDown};
}

CRect KeepOnScreen(CRect window, const CRect& screen)
{
    if (window.left < screen.left)
        window.OffsetRect(screen.left - window.left, 0);
    if (window.top < screen.top)
        window.OffsetRect(0, screen.top - window.top);
    return window;
}

int PrintedPictureHeight(int pageWidth, int horizontalDpi, int verticalDpi, CSize picture)
{
    const std::int64_t divisor = std::int64_t(horizontalDpi) * picture.cx;
    if (divisor <= 0 || pageWidth <= 0 || verticalDpi <= 0 || picture.cy <= 0)
        return 0;
    const std::int64_t height = std::int64_t(pageWidth) * verticalDpi * picture.cy / divisor;
    return static_cast<int>(std::min<std::int64_t>(height, INT32_MAX));
}

CRect CenterPicture(CSize picture, const CRect& client)
{
    const CPoint at(client.left + (client.Width() - picture.cx) / 2, client.top + (client.Height() - picture.cy) / 2);
    return {at, picture};
}

CRect DragPicture(const CRect& picture, const CRect& client, CPoint mouse, CSize offset)
{
    const auto follow = [](int start, int size, int low, int high, int wanted) {
        if (size <= high - low)
            return start;
        return std::clamp(wanted, high - size, low);
    };
    const int left = follow(picture.left, picture.Width(), client.left, client.right, mouse.x - offset.cx);
    const int top = follow(picture.top, picture.Height(), client.top, client.bottom, mouse.y - offset.cy);
    return {CPoint(left, top), picture.Size()};
}

BitmapFileError ReadBitmapFile(const std::string& path, CxImage& image)
{
    CxStdioStream stream;
    if (!stream.Open(path, "rb"))
        return BitmapFileError::kCannotOpen;
    unsigned char type[2];
    if (stream.Read(type, 1, 2) != 2)
        return BitmapFileError::kReadError;
    if (type[0] != 'B' || type[1] != 'M')
        return BitmapFileError::kNotBitmap;
    CxImageBMP decoder;
    if (!stream.Seek(0, 0))
        return BitmapFileError::kReadError;
    if (!decoder.Decode(stream)) {
        if (decoder.LastErrorIsTooLarge())
            return BitmapFileError::kTooLarge;
        return decoder.GetLastError() == kCorrupted ? BitmapFileError::kReadError : BitmapFileError::kNotBitmap;
    }
    image.Transfer(decoder);
    return BitmapFileError::kNone;
}

void ShowBitmapFileError(BitmapFileError error, const std::string& path)
{
    switch (error) {
    case BitmapFileError::kNone:
        return;
    case BitmapFileError::kCannotOpen:
        AppMessageBoxArg(kCannotOpenFile, path);
        return;
    case BitmapFileError::kReadError:
        AppMessageBox(kReadError);
        return;
    case BitmapFileError::kNotBitmap:
        AppMessageBox(kNotPicture);
        return;
    case BitmapFileError::kTooLarge:
        AppMessageBox(kTooLargeText, MB_OK | MB_ICONINFORMATION);
        return;
    }
}
