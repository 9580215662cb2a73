#pragma once
// What a test sets by hand in the scanner: the findings pages would have
// made, a skip request, the scan type of a running scan. Read-only state is
// read through the scanner's own accessors.

#include "scanner/scanner.h"

namespace tarnwick {

struct ScannerTestAccess {
    static Scanner::SiteScan &site(Scanner &s) { return s.m_site; }
    static QString &mainSite(Scanner &s) { return s.strMainSite; }
    static int &runningScanType(Scanner &s) { return s.iScanType; }
    static int timeOut(const Scanner &s) { return s.TimeOut; }
    static bool followingRedirect(const Scanner &s) { return s.m_page.bEmulate; }
    static const QStringList &fileTypes(const Scanner &s) { return s.vFileTypes; }
};

} // namespace tarnwick
