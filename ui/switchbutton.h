// An on/off switch: a rounded track with a sliding thumb. Toggled by a click or tap, or by the
// space bar while it has the keyboard focus. Like our push buttons it leaves the navigation keys
// to the window.
#pragma once

#include "ui/tagged.h"

#include <QAbstractButton>

class SwitchButton : public QAbstractButton, public Tagged {
    Q_OBJECT

public:
    explicit SwitchButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
