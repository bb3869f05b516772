#include "FakeShellServices.h"
