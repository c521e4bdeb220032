#include "settings/inistore.h"
