// The libraries of the outside players (the movie player and the splash control):
// each exports a create and an invoke entry point. Loaded from the application
// folder only, never from the search path, and kept for the rest of the process
// once both entry points are found: their window classes serve every later screen.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include <string>

#include "shared/OwnedResources_win.h"

template <typename TCreate, typename TInvoke>
struct SPlayerEntryPoints {
  TCreate pfnCreate = nullptr;
  TInvoke pfnInvoke = nullptr;
};

// The entry points of szLibrary in szFolder; both null when the library or one of
// them is missing (the library is then unloaded again). TEntryPoints is one
// SPlayerEntryPoints type per library, loaded once.
template <typename TEntryPoints>
const TEntryPoints& LoadPlayerLibrary(const char* szFolder, const char* szLibrary, const char* szCreate,
                                      const char* szInvoke) {
  static TEntryPoints library;
  if (library.pfnCreate) return library;
  const std::string strPath = std::string(szFolder ? szFolder : "") + "\\" + szLibrary;
  CFreeLibrary module(::LoadLibraryExA(strPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) return library;
  library.pfnCreate = reinterpret_cast<decltype(library.pfnCreate)>(
      reinterpret_cast<void (*)()>(::GetProcAddress(module.Get(), szCreate)));
  library.pfnInvoke = reinterpret_cast<decltype(library.pfnInvoke)>(
      reinterpret_cast<void (*)()>(::GetProcAddress(module.Get(), szInvoke)));
  if (!library.pfnCreate || !library.pfnInvoke) {
    library = TEntryPoints();
    return library;
  }
  static_cast<void>(module.Detach());  // loaded for the life of the process
  return library;
}
