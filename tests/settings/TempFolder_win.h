// The temporary folder helper lives in tests/support; this name stays for the
// settings tests that include it from here.
#pragma once

#include "support/TempFolder_win.h"
