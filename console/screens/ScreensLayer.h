// The guard that every header of console/screens includes first. Only the screens
// and the layers above them (core, and the programs and tests built on those)
// define HW_LAYER_SCREENS; a settings file that includes a screens header stops here.
#pragma once

#ifndef HW_LAYER_SCREENS
#error "console/screens lies above this code's layer: settings <- screens <- core"
#endif
