#include "parts/low/low.h"
#include "parts/high/high.h"
