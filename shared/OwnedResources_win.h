// Owned Win32 resources. Each type holds one resource, releases it with the call it
// is named after, cannot be copied, can be moved, and gives the resource up with
// Detach(). Code elsewhere never calls CloseHandle, RegCloseKey and the like itself.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <ole2.h>
#include <windows.h>
#include <bcrypt.h>

// WinINet's and WinHTTP's headers cannot be included together, and programs use
// one or the other: their close functions are declared here as both headers do;
// Windows Installer's as msi.h does, which only the uninstaller's actions need.
extern "C" {
DECLSPEC_IMPORT BOOL WINAPI InternetCloseHandle(LPVOID hInternet);
DECLSPEC_IMPORT BOOL WINAPI WinHttpCloseHandle(LPVOID hInternet);
UINT WINAPI MsiCloseHandle(unsigned long hAny);
}

#include <cstdio>
#include <utility>

// Generic owner: Traits supplies the handle type, its empty value and Close().
template <class Traits>
class COwned {
 public:
  using Handle = typename Traits::Handle;

  COwned() noexcept : m_h(Traits::Empty()) {}
  explicit COwned(Handle h) noexcept : m_h(h) {}
  ~COwned() { Reset(); }
  COwned(const COwned&) = delete;
  COwned& operator=(const COwned&) = delete;
  COwned(COwned&& other) noexcept : m_h(other.Detach()) {}
  COwned& operator=(COwned&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  Handle Get() const noexcept { return m_h; }
  bool IsValid() const noexcept { return m_h != Traits::Empty(); }
  explicit operator bool() const noexcept { return IsValid(); }

  // Releases the current resource, if any, and takes h. The thread's last error
  // stays what it was, so that a failed call's reason survives the clean-up.
  void Reset(Handle h = Traits::Empty()) noexcept {
    if (IsValid()) {
      const DWORD dwLastError = ::GetLastError();
      Traits::Close(m_h);
      ::SetLastError(dwLastError);
    }
    m_h = h;
  }
  // Gives the resource up without releasing it: the caller owns what it returns.
  [[nodiscard]] Handle Detach() noexcept { return std::exchange(m_h, Traits::Empty()); }
  // Address for an out-parameter; releases what was held first.
  Handle* Receive() noexcept {
    Reset();
    return &m_h;
  }

 private:
  Handle m_h;
};

struct SRegCloseKeyTraits {
  using Handle = HKEY;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};
struct SCloseHandleTraits {  // events, mutexes, processes, threads
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct SCloseFileTraits {  // CreateFile handles, whose empty value is INVALID_HANDLE_VALUE
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct SFCloseTraits {
  using Handle = std::FILE*;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { std::fclose(h); }
};
struct SDestroyWindowTraits {
  using Handle = HWND;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DestroyWindow(h); }
};
struct SFreeLibraryTraits {
  using Handle = HMODULE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};
struct SGlobalFreeTraits {
  using Handle = HGLOBAL;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::GlobalFree(h); }
};
struct SLocalFreeTraits {
  using Handle = HLOCAL;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::LocalFree(h); }
};
struct SDeleteObjectTraits {  // GDI objects
  using Handle = HGDIOBJ;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
struct SDeleteDCTraits {  // device and information contexts made with CreateDC, CreateIC
  using Handle = HDC;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
struct SDestroyMenuTraits {
  using Handle = HMENU;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DestroyMenu(h); }
};

struct SSysFreeStringTraits {  // BSTR texts received from COM calls
  using Handle = BSTR;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::SysFreeString(h); }
};
struct SFindCloseTraits {  // FindFirstFile searches
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};

struct SCloseSocketTraits {  // Windows Sockets; the user links ws2_32
  using Handle = SOCKET;
  static Handle Empty() { return INVALID_SOCKET; }
  static void Close(Handle h) { ::closesocket(h); }
};
struct SFreeAddrInfoTraits {  // getaddrinfo results
  using Handle = addrinfo*;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::freeaddrinfo(h); }
};
struct SInternetCloseHandleTraits {  // WinINet sessions and requests; the user links wininet
  using Handle = LPVOID;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::InternetCloseHandle(h); }
};

struct SWinHttpCloseHandleTraits {  // sessions, connections and requests of WinHTTP
  using Handle = LPVOID;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::WinHttpCloseHandle(h); }
};

struct SMsiCloseHandleTraits {   // Windows Installer's records and handles; the user links msi
  using Handle = unsigned long;  // MSIHANDLE
  static Handle Empty() { return 0; }
  static void Close(Handle h) { ::MsiCloseHandle(h); }
};
struct SBCryptCloseAlgorithmProviderTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::BCryptCloseAlgorithmProvider(h, 0); }
};
struct SBCryptDestroyHashTraits {
  using Handle = BCRYPT_HASH_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::BCryptDestroyHash(h); }
};
struct SBCryptDestroyKeyTraits {
  using Handle = BCRYPT_KEY_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::BCryptDestroyKey(h); }
};
struct SDeregisterEventSourceTraits {  // event log sources made with RegisterEventSource
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DeregisterEventSource(h); }
};

using CRegCloseKey = COwned<SRegCloseKeyTraits>;
using CCloseHandle = COwned<SCloseHandleTraits>;
using CCloseFile = COwned<SCloseFileTraits>;
using CFClose = COwned<SFCloseTraits>;
using CDestroyWindow = COwned<SDestroyWindowTraits>;
using CFreeLibrary = COwned<SFreeLibraryTraits>;
using CGlobalFree = COwned<SGlobalFreeTraits>;
using CLocalFree = COwned<SLocalFreeTraits>;
using CDeleteObject = COwned<SDeleteObjectTraits>;
using CDeleteDC = COwned<SDeleteDCTraits>;
using CDestroyMenu = COwned<SDestroyMenuTraits>;
using CSysFreeString = COwned<SSysFreeStringTraits>;
using CFindClose = COwned<SFindCloseTraits>;
using CCloseSocket = COwned<SCloseSocketTraits>;
using CFreeAddrInfo = COwned<SFreeAddrInfoTraits>;
using CWinHttpCloseHandle = COwned<SWinHttpCloseHandleTraits>;
using CMsiCloseHandle = COwned<SMsiCloseHandleTraits>;
using CBCryptCloseAlgorithmProvider = COwned<SBCryptCloseAlgorithmProviderTraits>;
using CBCryptDestroyHash = COwned<SBCryptDestroyHashTraits>;
using CBCryptDestroyKey = COwned<SBCryptDestroyKeyTraits>;
using CInternetCloseHandle = COwned<SInternetCloseHandleTraits>;
using CDeregisterEventSource = COwned<SDeregisterEventSourceTraits>;

// Windows Sockets started for the life of a scope (WSAStartup, WSACleanup).
class CWSACleanup {
 public:
  CWSACleanup() noexcept {
    WSADATA data;
    m_bStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~CWSACleanup() {
    if (m_bStarted) ::WSACleanup();
  }
  CWSACleanup(const CWSACleanup&) = delete;
  CWSACleanup& operator=(const CWSACleanup&) = delete;
  bool IsStarted() const noexcept { return m_bStarted; }

 private:
  bool m_bStarted = false;
};

// A COM interface pointer that calls Release().
template <class T>
class CComRelease {
 public:
  CComRelease() noexcept = default;
  // Takes over a reference the caller already holds.
  explicit CComRelease(T* p) noexcept : m_p(p) {}
  ~CComRelease() { Reset(); }
  CComRelease(const CComRelease&) = delete;
  CComRelease& operator=(const CComRelease&) = delete;
  CComRelease(CComRelease&& other) noexcept : m_p(other.Detach()) {}
  CComRelease& operator=(CComRelease&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  T* Get() const noexcept { return m_p; }
  T* operator->() const noexcept { return m_p; }
  explicit operator bool() const noexcept { return m_p != nullptr; }

  // Keeps the thread's last error, as COwned::Reset does.
  void Reset(T* p = nullptr) noexcept {
    if (m_p) {
      const DWORD dwLastError = ::GetLastError();
      m_p->Release();
      ::SetLastError(dwLastError);
    }
    m_p = p;
  }
  [[nodiscard]] T* Detach() noexcept { return std::exchange(m_p, nullptr); }
  T** Receive() noexcept {
    Reset();
    return &m_p;
  }
  void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }
  // Takes an extra reference to p (for a pointer the caller keeps).
  void Share(T* p) noexcept {
    if (p) p->AddRef();
    Reset(p);
  }

 private:
  T* m_p = nullptr;
};

// A locked global memory block; unlocks on scope exit.
class CGlobalUnlock {
 public:
  explicit CGlobalUnlock(HGLOBAL h) noexcept : m_h(h), m_p(h ? ::GlobalLock(h) : nullptr) {}
  ~CGlobalUnlock() {
    if (m_p) ::GlobalUnlock(m_h);
  }
  CGlobalUnlock(const CGlobalUnlock&) = delete;
  CGlobalUnlock& operator=(const CGlobalUnlock&) = delete;
  void* Get() const noexcept { return m_p; }

 private:
  HGLOBAL m_h;
  void* m_p;
};

// Holds a critical section for the life of a scope.
class CLeaveCriticalSection {
 public:
  explicit CLeaveCriticalSection(CRITICAL_SECTION& cs) noexcept : m_cs(cs) { ::EnterCriticalSection(&m_cs); }
  ~CLeaveCriticalSection() { ::LeaveCriticalSection(&m_cs); }
  CLeaveCriticalSection(const CLeaveCriticalSection&) = delete;
  CLeaveCriticalSection& operator=(const CLeaveCriticalSection&) = delete;

 private:
  CRITICAL_SECTION& m_cs;
};
