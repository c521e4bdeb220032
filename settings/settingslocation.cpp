#include "settings/settingslocation.h"
