// A process that asks before the console has published "App Path" (a proxy or a
// browser started at log-on) has no paths yet. InitializeAppVars leaves them
// empty then, and every lookup runs it again, at most once a second, until the
// paths are there.
#pragma once

// Whether the last InitializeAppVars found no "App Path"; records when it ran.
void NoteAppVarsRun(bool bPathless);
// Runs InitializeAppVars again when the last run found no "App Path", the paths
// are still empty and a second has passed since that run.
void RetryAppVarsWhilePathless();
