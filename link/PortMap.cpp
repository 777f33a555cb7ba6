#include "link/PortMap.h"
