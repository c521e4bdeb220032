#include "colors/contrast.h"
