// Must not build: a settings file that reaches up to core.
#include "console/core/RequestRecord.h"
