#pragma once
// The text side of processing one page of a partner site: the notes a page
// gives, the "href=" normalisation, the two page dumps, the split into
// lines, the value of each link, the page test and the examination of one
// line (resolution, rules, queueing, recording). Everything here works on
// values passed in and returns what the window has to do; the window does
// the status bar, the yields, the counters and the rows.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

#include "scanner/linkrules.h"

namespace tarnwick {

// What a page says about the site, tested on the raw page.
struct PageNotes {
    bool mainSiteMentioned = false;  // the page contains the main site's text
    QString statusNote;              // the last note the page gives; "" for none
};
PageNotes pageStatusNotes(const QString &page, const QString &mainSite);

// Every "href=" (any case) comes out as "href=" at the start of its own line,
// a run of up to 36 spaces after it removed.
QString normalizeHrefs(const QString &page);

// The text with every CR and LF removed.
QString singleLineText(const QString &normalized);

// The two dumps in the program folder: "html<i>.txt" holds the normalised
// page, "html2<i>.txt" the same on one line. Each is replaced, never
// appended to. False when the file could not be written.
QString pageDumpPath(const QString &programDir, int socketIndex);
QString pageDump2Path(const QString &programDir, int socketIndex);
bool writePageDump(const QString &programDir, int socketIndex, const QString &normalized);
bool writePageDump2(const QString &programDir, int socketIndex, const QString &normalized);

// The lines of the first dump, read from the text in memory: a line ends at
// CR LF, at CR or at LF, and the dump's own final CR LF ends the last line.
// The reader shares the text; lines are views into it.
class DumpLineReader {
public:
    explicit DumpLineReader(QString normalized) : m_text(std::move(normalized)) {}
    bool atEnd() const { return m_pos > m_text.size(); }
    // The next line; an empty view once atEnd().
    QStringView next();

private:
    QString m_text;
    qsizetype m_pos = 0;
};

// All lines at once (for callers that want a list).
QStringList dumpLines(const QString &normalized);

// A line of a page that has moved ("302 Found" and the like).
bool isRedirectMarker(QStringView line);

// A 301, 302, 303, 307 or 308 response with a Location header.
bool isRedirectStatus(int httpStatus, const QString &location);

// From a response's header text: the status code of its status line (0 when
// there is none) and the value of its Location line ("" when there is none).
int responseStatus(QStringView header);
QString responseLocation(QStringView header);

// The value of the link on a line, or none when the line gives nothing to
// examine: no "href=", nothing after it, or a "javascript" / "mailto" value.
std::optional<QString> hrefValue(QStringView line);

// The value names a web page: with the file-type test on, it ends with "/",
// or has a "?" and no ".", or contains one of the file types (ignoring
// case); with the test off, every value is a page.
bool isPageValue(const QString &value, bool useFileTypes, const QStringList &fileTypes);

// The scan values a page's links are examined with.
struct LinkContext {
    QString mainSite;        // strMainSite, the main-site text searched for
    QString curUrl;          // strCurUrl, the page being processed
    QString curDir;          // strCurDir, its directory
    QString sockHost;        // the page's host
    QString mainSiteText;    // the current main site as stored in its list (rule scope)
    QString linkingSiteRow;  // text of the current linking-site row (same-site test, rule scope)
    bool useFileTypes = true;  // "chkFileTypes" is "1"
    QStringList fileTypes;     // vFileTypes
    QList<Rule> rules;         // the rows of the rules list
    RuleLog ruleLog;           // "chkLog" and the program folder
    // The seen-page lookups. siteKnown reduces its argument (the reduced
    // form is what gets queued); foundOnKnown tests (and reduces) the
    // current page. Unset: nothing is known.
    std::function<bool(QString &)> siteKnown;
    std::function<bool()> foundOnKnown;
};

// What one line asks of the window.
struct LineResult {
    QString value;             // the value examined (resolved for a page); "" when none
    QString queueUrl;          // a new page of this linking site to queue; "" for none
    bool ruleProblem = false;  // a rule rejected the page: note "Possible Rule Problem"
    QString status;            // "Direct Link" or "Domain Link" to record; "" for none
};

// Examines one line of the dump: extraction, page test, resolution, rules
// (logging rejections), seen-page test, same-site test and the recording
// test, in that order.
LineResult examineLine(QStringView line, const LinkContext &ctx);

// The address a redirect hop fetches, ready for getURL: a target with a
// scheme as it stands, any other resolved against the page.
QString redirectAddress(const QString &target, const LinkContext &ctx);

// The address for a page whose line markerLine holds a redirect marker: from
// the first line holding "href=", starting with markerLine and reading on
// from reader; an empty address there gives the current page. Without such
// a line, the response's Location when there was one. "" means no hop: the
// page simply ends (the reader is then at its end).
QString redirectTarget(QStringView markerLine, DumpLineReader &reader, const QString &location,
                       const LinkContext &ctx);

} // namespace tarnwick
