// Taking a page's text through the clipboard when the browser gives no outer text:
// select all, copy, read the copied text, and give the user's clipboard text back.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>

// Runs the document commands and reads the copied plain text into strText;
// bHaveText tells whether the clipboard held any. Answers false when the scan
// must end (a document command or the clipboard copy failed).
bool CopyPageTextThroughClipboard(IHTMLDocument2* pDocument, std::string& strText, bool& bHaveText);
