#include "MemoryPasteboard.h"
