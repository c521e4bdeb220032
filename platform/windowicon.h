// The program's window icon at the sizes a desktop wants.
#pragma once

#include <QIcon>

#include <limits>

// The pictures up to the largest size given, all of them by default.
QIcon windowIcon(int largest = std::numeric_limits<int>::max());

// The pictures a title bar or a task bar shows; the large ones are for task switchers.
constexpr int TitleBarIconSize = 64;
