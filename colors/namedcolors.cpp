#include "colors/namedcolors.h"
