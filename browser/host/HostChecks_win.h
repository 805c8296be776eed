// What the browser host asks: the engine library whether the definitions list an
// address or a mail page, and, only for what they list, the console.
#pragma once

#include <string>

#include "browser/host/HostMessages.h"

// The program the console is told about: the browser that started this host.
struct SBrowserProgram {
  std::string strPath;  // full path when known, else the name
  std::string strName;  // the part after the last backslash
};

// The browser that started the host (its parent process, or the process owning
// Chrome's --parent-window), or strHint ("chrome.exe", as the extension names its
// browser) when the system does not tell.
SBrowserProgram FindBrowserProgram(int argc, char** argv, const std::string& strHint);

// True when the definitions list the address. The one place the host asks the
// engine about a web address.
bool IsListedAddress(const std::string& strHost, unsigned short nPort, const std::string& strPath,
                     const std::string& strQuery);

// The address as the console is told about it and remembers it, for a listed
// address: its key (engine/WebAddressKey.h), as the web guard writes it too.
std::string AddressForConsole(const SHostRequest& request);

bool IsConsoleRunning();

struct SConsoleAnswer {
  EVerdictAnswer eVerdict = EVerdictAnswer::Block;
  bool bConsole = false;  // false: the console could not be asked, and the verdict is Block
};

// Request 1126, kind 'U', for a listed address (strAddress from AddressForConsole),
// through the request channel.
SConsoleAnswer AskConsoleAboutAddress(const SBrowserProgram& browser, const SHostRequest& request,
                                      const std::string& strAddress);

struct SMailAnswer {
  bool bMail = false;
  bool bFinding = false;
  SConsoleAnswer answer;
};

// The browser helper's mail scan on a page's text and HTML (UTF-8), with request
// 1127 for each finding; a finding the console could not be asked about blocks the
// page, with answer.bConsole false.
SMailAnswer ScanMailPageText(const SBrowserProgram& browser, const std::string& strText, const std::string& strHtml);
