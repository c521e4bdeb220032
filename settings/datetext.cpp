#include "settings/datetext.h"
