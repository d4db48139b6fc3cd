#include "parts/high/high.h"
