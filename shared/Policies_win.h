// Reads the policies in force: each value of the policy table from the machine's
// policy key first, then from the user's. Cheap enough to read at every use: two
// keys opened, one bounded read per value. A value of another type, out of its
// bounds or too long is ignored as if absent.
#pragma once

#include "shared/Policies.h"

CPolicies ReadPolicies();
