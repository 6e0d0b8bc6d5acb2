#pragma once

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Runs open while the first modal window of type T it opens is looked at
// (windows opened before it, while the work runs, are passed by); the
// window is closed afterwards.
template <class T>
void WithModalOf(const std::function<void()>& open, const std::function<void(T&)>& look)
{
    bool looked = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (!modal || looked)
            return;
        looked = true;
        look(*modal);
        modal->close();
    });
    poll.start();
    open();
    EXPECT_TRUE(looked);
}
