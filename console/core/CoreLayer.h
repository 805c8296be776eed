// The guard that every header of console/core includes first. Only core and the
// programs and tests built on it define HW_LAYER_CORE; a settings or screens file
// that includes a core header stops here.
#pragma once

#ifndef HW_LAYER_CORE
#error "console/core lies above this code's layer: settings <- screens <- core"
#endif
