#include "parts/mid/mid.h"
