// Start-up probes only: ends the process right after a window's first complete paint, so that a
// whole run measures process start to the first picture on screen and nothing after it.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

class QuitAfterFirstPaint : public QObject {
public:
    explicit QuitAfterFirstPaint(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The window paints first and its children right after, then the whole picture is
            // flushed; a queued call runs once all of that has happened.
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    // A round trip to the X server: the picture has reached it. Not
                    // QApplication::sync(), which also runs whatever the program put off until
                    // after its first frame. Offscreen the picture is complete already.
                    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
                    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr)
                        std::free(xcb_get_input_focus_reply(
                            connection, xcb_get_input_focus(connection), nullptr));
                    std::fflush(nullptr);
                    // Tearing the window down is no part of start-up.
                    std::_Exit(EXIT_SUCCESS);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};
