#include "engine/browser/HTMLSourceParser_win.h"
void CHTMLSourceParser::ScanMailPage() {}
