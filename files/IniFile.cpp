#include "files/IniFile.h"
