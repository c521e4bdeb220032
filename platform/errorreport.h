// The application's error report: a modal message box with the message, a full stop and OK.
// Tests replace it to see the message without a modal loop.
#pragma once

#include <QString>

#include <functional>

class QWidget;

void reportError(QWidget* parent, const QString& message);

void setErrorReporter(std::function<void(const QString&)> reporter);
