#include "rar/unpack4/Unpack15.h"
