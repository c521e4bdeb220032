// Opens a date editor's calendar as a click on its drop-down arrow does: Qt has no call that
// opens it.
#pragma once

#include "ui/pickers.h"

#include <QCoreApplication>
#include <QMouseEvent>

inline void openPicker(DateEdit& editor) {
    // The calendar opens on a press on the drop-down arrow at the editor's right end.
    const QPoint arrow(editor.width() - 6, editor.height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, arrow, editor.mapToGlobal(arrow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&editor, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, arrow, editor.mapToGlobal(arrow),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&editor, &release);
}
