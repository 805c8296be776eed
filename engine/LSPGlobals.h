// CLSPGlobals: the engine library's shared state and every operation it exports,
// all static. The socket-layer provider outside the system links against these
// names, so their argument orders and results are an external interface.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <ws2spi.h>

#include <string>

#ifdef QUELLMAIL_EXPORTS
#define QUELLMAIL_API __declspec(dllexport)
#else
#define QUELLMAIL_API __declspec(dllimport)
#endif

class QUELLMAIL_API CLSPGlobals {
 public:
  CLSPGlobals();
  CLSPGlobals(const CLSPGlobals&);
  CLSPGlobals& operator=(const CLSPGlobals&);
  virtual ~CLSPGlobals();

  // Shared state (per process).
  static char szAppPath[261];    // application folder, from the value "App Path"
  static char szDBPath[261];     // the working definitions file "\hkwdn2.hwd" in the user's "Data Path"
                                 // (szAppPath when the console names none)
  static char szPMailPath[261];  // szAppPath + "\hkwdnm.htm", the mail block page
  static char szMsg[261];        // exported message buffer, unused inside the library
  static HKEY hAppRegKey;        // product key, open only while InitializeAppVars runs
  static HWND hMainWnd;          // the console's request window, or null

  // Plain section names of the working definitions file.
  static const char* const szHostIPSec;    // "HostIP"
  static const char* const szHostLinkSec;  // "HostLink"
  static const char* const szUrlSec;       // "Link"
  static const char* const szFromSec;      // "From"
  static const char* const szSubjectSec;   // "Subject"
  static const char* const szTextSec;      // "Text"

  // Shared state and definitions access.
  static std::string GetAppPath();
  static HKEY InitializeAppRegKey();
  static bool InitializeAppVars();
  static std::string Encode(unsigned char cByte);
  static unsigned char Decode(std::string strChar);
  static std::string EncryptString(std::string strPlain);
  static std::string DecryptString(std::string strScrambled);
  static DWORD GetEncPrivateProfileString(const char* szSection, const char* szKey, const char* szDefault,
                                          char* szOut, DWORD dwOutSize, const char* szFile);
  static DWORD GetEncPrivateProfileSection(const char* szSection, char* szOut, DWORD dwOutSize,
                                           const char* szFile);

  // Registry wrappers: 1 on success, 0 on failure. None of them scrambles anything.
  static int OwnerRegConnectRegistry(HKEY hRoot, HKEY* phKey);
  static int OwnerRegCreateKeyEx(HKEY hParent, const char* szSubKey, HKEY* phKey);
  static int OwnerRegCreateEncKeyEx(HKEY hParent, const char* szSubKey, HKEY* phKey);
  static int OwnerRegQueryValueEx(HKEY hKey, const char* szValueName, char* szOut);
  static int OwnerRegQueryEncValueEx(HKEY hParent, const char* szSubKey, const char* szValueName, char* szOut);
  static int OwnerRegSetEncValueEx(HKEY hParent, const char* szSubKey, const char* szValueName, DWORD dwType,
                                   const BYTE* pData, DWORD cbData);

  // Phishing matchers: true when the definitions list the item.
  static bool IsBadIP(const char* szAddress);
  static bool IsBadUrl(char* szLink);  // lower-cases szLink in place
  // A parsed request: host, port, path ("/..." or empty for a tunnel's host or a
  // root page) and query (without "?"; null or empty when none), brought to the
  // normal form of engine/WebAddress.h before the lists are asked.
  static bool IsBadWebAddress(const char* szHost, unsigned short nPort, const char* szPath, const char* szQuery);
  static bool IsBadMailFrom(const char* szFrom);
  static bool IsBadMailSubject(const char* szSubject);
  static bool IsBadMailLinks(const char* szText, char* szMatchedLink);
  static bool IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink);
  static bool IsBadMailText(const char* szText, char* szMatchedText);
  static void GetUrl(const char* szRequest, char* szUrl);

  // Console link and provider check.
  static HWND GetMainWndHandle();
  static LPWSAPROTOCOL_INFOW GetProviders(int* pnCount);  // free with GlobalFree
  static bool IsLSPInstalled(const char* szProviderName);
  static void DisplayError();
};
