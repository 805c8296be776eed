// The index of the working definitions file in this process: built on first use
// and built again when the file changes, which each call checks cheaply.
#pragma once

#include <memory>

#include "engine/DefinitionsIndex.h"

// How long one look at the file stays good: calls within it take the index as it
// is. The file's size and times cost a system call of some 15 microseconds under
// Wine, more than a lookup itself.
constexpr unsigned kDefinitionsRecheckMs = 20;

// The index of the file at szPath as it is now (or was at most
// kDefinitionsRecheckMs ago). Null when the file cannot be indexed (read in another
// encoding, not readable just now, or an ANSI code page that does not keep every
// byte): the caller then walks it.
std::shared_ptr<const CDefinitionsIndex> CurrentDefinitionsIndex(const char* szPath);
