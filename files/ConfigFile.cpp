#include "files/ConfigFile.h"
