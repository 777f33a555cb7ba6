#include "link/CommsModule.h"
