// Writes events to the Application log under the source "Hookwarden", whose
// registration (made by the machine's installer) names the module with the
// message table. A writer thread of its own does the writing, so a caller never
// waits for the log; errors are ignored: an event that cannot be written is lost
// and the caller's work goes on.
#pragma once

#include "shared/EventLogEntries.h"

// Queues the entry and returns at once. Beyond a few hundred queued entries
// (a log that does not take them) new ones are dropped.
void WriteEventLog(SEventLogEntry entry) noexcept;

// Waits until the queued entries are written, at most dwMaxWaitMs: for a
// program about to end.
void FlushEventLog(unsigned long dwMaxWaitMs) noexcept;
