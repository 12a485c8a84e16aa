#include "GridRules.h"
