#pragma once

#include <QApplication>

// Widgets need the application; one is made for the whole program, on the
// offscreen platform. It is never deleted: at exit Qt's own statics, which
// the input devices of the simulated events use, are gone first.
inline void NeedApplication()
{
    static int argc = 1;
    static char name[] = "test_mapdoc_widgets";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static const QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
}
