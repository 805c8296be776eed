// Where the engine library reads the working definitions file. The console names
// the user's own data folder in "Data Path" of the product key; any program of the
// user can write that value, and every program of the user that uses sockets,
// elevated ones too, would then read the file from wherever it points (a network
// share: the user's credentials sent there, socket calls stalled on it). So the
// value only says that the console keeps the file in the user's own folder; the
// folder itself is the one the engine finds for this user, and only a plain local
// path ("C:\..."). Platform-free: the caller finds the folders.
#pragma once

#include <string>

// A full path on a drive letter, "X:\" and folder names: not a share ("\\server"),
// no "\\?\" or "\\.\" form, no relative or "." and ".." part, no stream (":"), no
// wildcard or other character a folder name cannot hold, no name ending in "." or
// " " (which Windows drops), at most 260 characters. Separators may be "\" or "/",
// repeated or trailing.
bool IsPlainLocalPath(const std::string& strPath);

// The folder of the working definitions file: without "Data Path" (as earlier
// consoles wrote it) the application folder; with it the user's own folder when
// that is plain and local, whatever "Data Path" says (a value naming another folder
// is not followed); the application folder when the user's own is not known or not
// local.
std::string WorkingDefinitionsFolder(const std::string& strAppPath, const std::string& strDataPath,
                                     const std::string& strOwnFolder);
