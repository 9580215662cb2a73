#pragma once
// The link scanner: walks the linking sites of a project one page at a time
// with its own HTTP client, records the links back to each main site in the
// project's results and closes each linking site with its outcome. It works
// on a Project alone; a window shows what it does through ScanDisplay.

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

#include "scanner/pagetext.h"
#include "workspace/textcase.h"

class QTimer;

namespace platform {
class ListView;
class Socket;
}

namespace tarnwick {

class AppContext;
class Project;
class ModelTextIndex;
class RuleSet;

// What the scanner asks of the window that shows it. Every call may come in
// the middle of a scan; none may start or stop one.
class ScanDisplay {
public:
    virtual ~ScanDisplay() = default;

    // The controls a scan enables and disables.
    enum class Control {
        StartScan,   // Command1
        Stop,        // cmdStop
        Skip,        // cmdSkip
        Resume,      // cmdResume
        ScanType,    // Command10
        SkipType,    // Command11
        NextSearch,  // cmdNextSearch
        Project,     // the controls that change or replace the project
    };
    virtual void setControlEnabled(Control, bool) {}
    // Status-bar panel 1..4.
    virtual void setPanelText(int, const QString &) {}
    // The status bar brought to the front and drawn (as often as is useful).
    virtual void showStatusBar() {}
    virtual void repaintStatusBar() {}
    // The progress bar, 0..100.
    virtual void setProgress(int) {}
    // The scan moved to linking site row of main site main (both from 1);
    // the row is selected in its list already.
    virtual void linkingSiteSelected(int, int) {}
    // A scan could not start for want of a main site (true) or a linking
    // site (false): the entry box for it takes the focus.
    virtual void focusSiteEntry(bool) {}
    // Stop wants the report rebuilt.
    virtual void buildReport() {}
};

class Scanner : public QObject {
    Q_OBJECT
public:
    Scanner(AppContext &ctx, Project &project, QObject *parent = nullptr);
    ~Scanner() override;

    void setDisplay(ScanDisplay *display) { m_display = display ? display : &m_noDisplay; }
    Project &project() const { return m_project; }

    // Scan type (0 all main sites, 1 the selected main site, 2 the selected
    // linking site) and skip type (0 the linking site, 1 the main site), as
    // the menus choose them; both are stored.
    int scanType() const { return m_scanType; }
    int skipType() const { return m_skipType; }
    void setScanType(int index);
    void setSkipType(int index);

    // ---- Scan control ----
    void Command1_Click();       // Start Scan
    void cmdDoSearch_Click();    // (re)starts fetching the current linking site from its queue
    void cmdNextSearch_Click();  // ends the current linking site and advances
    void cmdSkip_Click();
    void cmdStop_Click();
    void cmdResume_Click();

    // Next page of the current linking site, or the end of the linking site.
    void nextPage();
    // Starts the fetch of strURL and returns at once.
    void fetchPage();
    // Takes over a fetched page: its notes, its dumps, its links, and then
    // the next page or the end of the linking site.
    void processPage(QString &page);
    // The other way to finish a fetched page: its dump is read for e-mail
    // addresses instead of links; each new address is counted and
    // the web site of its domain stored. Then the next page, as getLinks.
    void getEmails();

    // Socket events and the idle timer.
    void wscVersion_Connect();
    void wscVersion_DataArrival(qint64 bytesTotal);
    void wscVersion_Close();
    void wscVersion_Error();
    void timTimeout_Timer();
    void checkHTTPStatus(const QString &header, const QString &pageUrl);

    // The program is ending: the scan ends where it is, its connection is
    // closed and its timer stopped; nothing is recorded or reported.
    void shutDown();

    // Seen-page lookups. siteKnown reduces url (long scheme list) in the
    // caller's variable and answers whether that page is a row of the
    // scanned main site's linking-site list, is queued, or was queued before
    // for this linking site. foundOnKnown reduces page (short scheme list)
    // and answers whether a results row of the main site searched for was
    // found on that page.
    bool siteKnown(QString &url);
    bool foundOnKnown(QString &page);

    // ---- Where the scan is ----
    // The main site being scanned (from 1; 0 before the first scan) and the
    // row of its linking site (from 1; 0 when no scan runs). The scan keeps
    // its place whatever the user selects, and the row follows its linking
    // site when rows are added or removed above it.
    int currentMain() const { return m_main; }
    int iCurrentSite() const;

    // Pages per linking site. A scan reads it from the settings at every
    // page; start-up restores it.
    qint32 pageLimit() const { return lPageLimit; }
    void setPageLimit(qint32 limit) { lPageLimit = limit; }

    // Every page queued for the current linking site, compared ignoring
    // case.
    class SeenPageTable {
    public:
        void add(const QString &url) { m_pages.insert(lowerCased(url), true); }
        bool contains(const QString &url) const { return m_pages.contains(lowerCased(url)); }
        bool containsLowerCased(const QString &lower) const { return m_pages.contains(lower); }
        void clear() { m_pages.clear(); }
        qsizetype size() const { return m_pages.size(); }

    private:
        QHash<QString, bool> m_pages;
    };

    // What the scan found on the linking site it is on. A new linking site,
    // and a new scan, start from a fresh one.
    struct SiteScan {
        int iLinksExpected = 0;
        int iLinksFound = 0;
        bool bLinkFound = false;
        qint64 lResultNumber = 0;     // running "No." of its link rows
        bool bRedirectFound = false;  // the main domain was seen on one of its pages
        QString strRedirectURL;       // where it was seen
        QString strStatusNote;        // the last note on it
        qint64 lSitePagesScanned = 0; // pages started (the page-limit count)
        qint64 lSitePagesFound = 0;   // pages queued
        qint64 lSiteLinksFound = 0;
        bool bSkipClicked = false;    // a skip was requested and not yet carried out
        SeenPageTable strSeenPages;
    };
    const SiteScan &site() const { return m_site; }

    // The HTTP client's one connection: its socket, its idle timer (one tick
    // a second while a page is fetched) and what arrived of the page in
    // flight, which every fetch starts afresh.
    struct Connection {
        platform::Socket *wscVersion = nullptr;
        QTimer *timTimeout = nullptr;
        quint64 serial = 0;  // bumped by every new page step, fetch or close
        struct Fetch {
            QString strSockHost;          // host text, may end in ":port"
            QString strSockPath;          // request path
            QByteArray strSockData;       // everything received, header and body
            qint64 lSockBytes = 0;        // bytes received; body bytes once the header is complete
            qint64 lSockLength = 0;       // Content-Length, 0 when none
            bool bSockHeaders = false;    // the header is complete
            int iSockTimer = 0;           // idle seconds
            int pageSeconds = 0;          // seconds since the page was asked for, data or not
            qsizetype headerSearchFrom = 0;
            qint64 bodyLength = -1;       // body bytes of a complete response, -1 when unknown
            qsizetype chunkFrom = -1;     // next chunk-size line of a chunked body, -1 when none
        } fetch;
    };
    const Connection &connection() const { return m_conn; }

    // A scan step that gave way to the event loop checks, before it goes on,
    // that the scan still runs and is still on the same linking site.
    quint64 scanEpoch() const { return m_scanEpoch; }
    bool scanStillOn(quint64 epoch) const;

private:
    // The scan advances as a loop of steps rather than nested calls, so a
    // long run of linking sites that end at once does not grow the stack.
    enum class ScanStep { None, NextPage, NextSearch, DoSearch };
    void runScanSteps(ScanStep step);
    ScanStep nextPageStep();
    ScanStep nextSearchStep();
    ScanStep doSearchStep();
    ScanStep nextLinkingSiteStep(int row);
    ScanStep nextMainSiteStep();
    // Takes linking site row of the scanned main site as the current one.
    void takeLinkingSite(int row);
    platform::ListView *scannedList() const;
    void writeOutcomeRow(const QString &note);
    void closeSocket();
    void finishFetch();
    void endSiteAsTimedOut();
    // A page that outlasted its total time: what arrived is processed.
    void endPageAsTimedOut();
    void connectionFailed();
    void setControl(ScanDisplay::Control control, bool on) { m_display->setControlEnabled(control, on); }
    void setScanControlsEnabled(bool scanning);
    void playIfOn(const QString &key, const char *sound);
    // A check box's stored state, read at the moment of use.
    bool settingIsOne(const QString &key, int defaultValue) const;
    void buildLookups();

    // Page processing. A page step that gave way to the event loop goes on
    // only while the scan is on the same linking site and no other page was
    // started or closed meanwhile.
    struct PageGuard {
        quint64 epoch = 0;
        quint64 serial = 0;  // of the connection
        bool stillOn(const Scanner &scanner) const;
    };
    bool yieldOnPage(const PageGuard &guard);
    // What the response's header says of a page: where it moved to, and
    // whether its status makes it a redirect page.
    struct PageResponse {
        QString location;
        bool moved = false;
    };
    void processPageText(QString &page, const PageResponse &response);
    void getLinks(const PageReading &reading, const PageResponse &response, const PageGuard &guard);
    void queuePage(const QString &url);
    // True when the linking-site row took the page's URL.
    bool recordLink(const QString &status);
    // The rules in scope for the main site and linking-site row texts, made
    // anew only when the rules list or the scope changed.
    std::shared_ptr<const RuleSet> rulesFor(const QString &mainSiteText, const QString &linkingSiteRow);
    void followRedirect(QString &target, const PageGuard &guard);
    void endPage(const PageGuard &guard);
    void abandonPage();
    // Gives way to the event loop when it has not run for a while: often
    // enough for Stop, Skip and whatever shows the scan, seldom enough to
    // cost nothing next to a page. True when it did.
    bool giveWayIfDue();
    // An event of the loop starts a new stretch of scan work.
    void turnStarted() { m_turnClock.restart(); }

    // Tests stand in for what pages would have found.
    friend struct ScannerTestAccess;

    // The connection's number in the names of the page dumps.
    static constexpr int kDumpIndex = 0;

    AppContext &m_ctx;
    Project &m_project;
    ScanDisplay m_noDisplay;
    ScanDisplay *m_display = &m_noDisplay;
    int m_scanType = 0;
    int m_skipType = 0;

    // The running scan: its type as it started, the idle time-out of a page
    // in seconds (read again as each linking site ends), the page limit and
    // the page extensions of filetypes.txt.
    int iScanType = 0;
    int TimeOut = 60;
    qint32 lPageLimit = 500;
    QStringList vFileTypes;

    // The scan's own place: its main site, that site's list, and the
    // identity of the linking-site row it is on (with the row it was last
    // seen at).
    int m_main = 0;
    QPointer<platform::ListView> m_sites;
    quint64 m_siteId = 0;
    mutable int m_siteRow = 0;
    QString strMainSite;     // the main site's domain, searched for
    QString strLinkingSite;  // the linking-site row's text as the scan took it

    SiteScan m_site;

    // The page being fetched or processed.
    struct PageState {
        QString strURL;            // as taken from the queue
        QString strCurUrl;         // without scheme
        QString strCurDir;         // its directory, ending in "/"
        bool bEmulate = false;     // a redirect page is being followed
        bool siteTimedOut = false; // it ran out of time: the site ends after it
    } m_page;

    Connection m_conn;

    // Lookups over the queue, the results and the scanned linking-site list.
    ModelTextIndex *m_queueIndex = nullptr;
    ModelTextIndex *m_resultIndex = nullptr;
    QPointer<ModelTextIndex> m_linkingSiteIndex;

    // The page dumps, kept open while a scan runs; the rules as the last page
    // used them.
    PageDumps m_dumps;
    std::shared_ptr<const RuleSet> m_ruleSet;
    bool m_rulesStale = true;
    QElapsedTimer m_turnClock;  // since the event loop last ran

    quint64 m_scanEpoch = 0;  // bumped whenever a linking site ends or a scan stops
};

} // namespace tarnwick
