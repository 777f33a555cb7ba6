#include "link/DeviceImage.h"
