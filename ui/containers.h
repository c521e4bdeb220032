// Plain containers: the tool bar of a page and the invisible layout panel. The settings panel
// also reports double clicks and the long-tap and double-tap gestures on its background.
#pragma once

#include "ui/tagged.h"

#include <QWidget>

class ToolBar : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit ToolBar(QWidget* parent = nullptr) : QWidget(parent) {}
};

class Panel : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit Panel(QWidget* parent = nullptr) : QWidget(parent) {}

    // Long tap (double tap arrives as a double click); other gestures are swallowed.
    void enableTouchGestures();

signals:
    void doubleClicked();
    void touchGesture(Qt::GestureType type);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
};
