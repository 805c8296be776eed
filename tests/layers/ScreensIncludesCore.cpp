// Must not build: a screens file that reaches up to core.
#include "console/core/RequestRecord.h"
