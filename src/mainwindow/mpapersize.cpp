#include "mpapersize.h"
