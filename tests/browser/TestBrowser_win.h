/* A small web browser for the helper object's tests: a browser, its event
 * connection point, a document and its body element, serving one page and
 * recording what the object asks of it. Written in C over the interfaces' vtables
 * so that only the methods the object calls need code. */
#pragma once

#include <windows.h>

#include <exdisp.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct STestPage {
  const wchar_t* wszOuterText; /* null: the body has no outer text at all */
  const wchar_t* wszOuterHtml;
  const char* szCopiedText; /* what the "Copy" command puts on the clipboard; null: nothing */
  int bSelectAllFails;
  int bPutUrlFails;
  int bGoBackFails;
  int bNoConnectionPoints;
} STestPage;

typedef struct STestBrowserRecord {
  int nGetDocument; /* one per scan that reached the page */
  int nStop;
  int nGoBack;
  int nRefresh;
  int nPutUrl;
  wchar_t wszUrl[300];  /* the last address given to put_URL */
  char szCommands[256]; /* document commands in order, each followed by ';' */
  int nAdvise;
  int nUnadvise;
  IDispatch* pSink; /* the connected event sink (holding a reference), or null */
} STestBrowserRecord;

/* A new browser with one reference; the page is copied. */
IWebBrowser2* TestBrowserCreate(const STestPage* pPage);
STestBrowserRecord* TestBrowserRecord(IWebBrowser2* pBrowser);

#ifdef __cplusplus
}
#endif
