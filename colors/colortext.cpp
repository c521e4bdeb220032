#include "colors/colortext.h"
