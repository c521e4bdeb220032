#include "rotation/rotation.h"
