#pragma once

#include "platform/Gdi.h"

#include <QGuiApplication>
#include <QImage>

#include <memory>

// Images the device-context tests draw into, and the colours they probe.

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kGrey = RGB(128, 128, 128);
inline constexpr COLORREF kYellow = RGB(255, 255, 0);

inline QImage MakeImage(int width, int height, COLORREF fill = kWhite)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(GetRValue(fill), GetGValue(fill), GetBValue(fill)));
    return image;
}

inline COLORREF At(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// Fonts need a GUI application; one is made for the whole program, on the
// offscreen platform, the first time a text test runs.
inline void NeedGuiApplication()
{
    static int argc = 1;
    static char name[] = "test_platform";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app = []() -> std::unique_ptr<QGuiApplication> {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (QCoreApplication::instance())
            return nullptr;
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}
