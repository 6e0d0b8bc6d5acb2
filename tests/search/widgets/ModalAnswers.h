#pragma once

#include "shell/widgets/ControlIds.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using ModalLook = std::function<void(QWidget&)>;

// Runs open while each modal window it opens in turn is answered by the
// next look, which ends it; a look may open further modal windows, which
// the looks after it answer. A modal window open before is not looked at.
inline void AnswerModals(const std::function<void()>& open, const std::vector<ModalLook>& looks)
{
    size_t next = 0;
    QPointer<QWidget> answered = QApplication::activeModalWidget();
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == answered || next >= looks.size())
            return;
        answered = modal;
        // Not from the timer's own call: a look that opens a modal window
        // would hold the timer up.
        const ModalLook& look = looks[next++];
        QTimer::singleShot(0, modal, [&look, modal] { look(*modal); });
    });
    timer.start();
    open();
    EXPECT_EQ(next, looks.size());
}

template <class T = QWidget>
T* In(QWidget& window, int id)
{
    T* control = FindControl<T>(&window, id);
    EXPECT_TRUE(control) << id;
    return control;
}
