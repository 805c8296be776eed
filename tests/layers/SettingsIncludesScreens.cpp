// Must not build: a settings file that reaches up to the screens.
#include "console/screens/LoginCheck.h"
