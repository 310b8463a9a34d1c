#pragma once

// Answers a modal dialog that the code under test is about to run with exec(): `act` runs on the dialog once it
// is the active modal widget. The wait is bounded, so a dialog that never opens fails the test instead of
// hanging it.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace calamo::testing {

inline void whenModal(std::function<void(QWidget&)> act, int boundMs = 5000)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act = std::move(act), clock, poll, boundMs] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(*modal);
            *poll = nullptr;  // breaks the self-reference
            return;
        }
        if (clock->elapsed() > boundMs) {
            ADD_FAILURE() << "no modal dialog opened";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll] {
            if (*poll)
                (*poll)();
        });
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
}

}  // namespace calamo::testing
