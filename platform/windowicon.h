// The program's window icon at the sizes a desktop wants.
#pragma once

#include <QIcon>

QIcon windowIcon();
