// The in-process server's module state: this library's handle and path, and the
// counts of live objects and server locks that decide DllCanUnloadNow.
#pragma once

#include <windows.h>

namespace ComModule {

HMODULE GetModule();
// Full path of this library (the in-process server path), at most 260 characters.
bool GetModulePath(char (&szPath)[261]);
bool GetModulePathW(wchar_t (&wszPath)[261]);

void AddObject();
void ReleaseObject();
void Lock();
void Unlock();
bool CanUnload();

}  // namespace ComModule
