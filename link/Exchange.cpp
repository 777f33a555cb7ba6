#include "link/Exchange.h"
