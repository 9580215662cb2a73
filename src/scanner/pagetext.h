#pragma once
// The text side of processing one page of a partner site: the notes a page
// gives, the "href=" normalisation, the two page dumps, the split into
// lines, the value of each link, the page test and the examination of one
// line (resolution, rules, queueing, recording). Everything here works on
// values passed in and returns what the scanner has to do; the scanner does
// the status bar, the yields, the counters and the rows.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <memory>
#include <optional>

#include "platform/keptfile.h"
#include "scanner/linkrules.h"

namespace tarnwick {

// What a page says about the site, tested on the raw page.
struct PageNotes {
    bool mainSiteMentioned = false;  // the page contains the main site's text
    QString statusNote;              // the last note the page gives; "" for none
};

// A line of the normalised text that can matter: one that holds "href="
// (always at its start, and only there) or a redirect marker.
struct PageLine {
    qsizetype start = 0;  // in PageReading::text
    qsizetype size = 0;
    bool href = false;
    bool marker = false;
};

// One reading of a page, in a single pass over its text: the notes, the
// normalised text (every "href=", any case, as "href=" at the start of its
// own line, a run of up to 36 spaces after it removed), and the lines of
// that text that hold "href=" or a redirect marker, in order. The other
// lines give nothing to examine.
struct PageReading {
    PageNotes notes;
    QString text;
    QList<PageLine> lines;

    QStringView line(const PageLine &l) const { return QStringView(text).sliced(l.start, l.size); }
};
PageReading readPage(const QString &page, const QString &mainSite);

PageNotes pageStatusNotes(const QString &page, const QString &mainSite);
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

// The two dumps as a scan writes them, page after page: the text converted
// once for both, the files kept open until close(). The files hold what
// writePageDump and writePageDump2 would write.
class PageDumps {
public:
    // False when a dump could not be written (the other is written all the
    // same).
    bool write(const QString &programDir, int socketIndex, const QString &normalized);
    void close();

private:
    platform::KeptFile m_first;
    platform::KeptFile m_second;
};

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
// The same with the file types made into needles once (empty ones left out).
QList<FoldedNeedle> fileTypeNeedles(const QStringList &fileTypes);
bool isPageValueAmong(const QString &value, bool useFileTypes, const QList<FoldedNeedle> &fileTypes);

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

// What one line asks of the scanner.
struct LineResult {
    QString value;             // the value examined (resolved for a page); "" when none
    QString queueUrl;          // a new page of this linking site to queue; "" for none
    bool ruleProblem = false;  // a rule rejected the page: note "Possible Rule Problem"
    QString status;            // "Direct Link" or "Domain Link" to record; "" for none
};

// Examines the lines of one page with one context: what the tests of every
// link share (the site keys, the folded texts, the rules in scope) is made
// once, not for every link.
class LinkExaminer {
public:
    // rules: the context's rules already made into a set for its scope (the
    // scanner keeps one between pages); made here when not given.
    explicit LinkExaminer(LinkContext ctx, std::shared_ptr<const RuleSet> rules = {});

    const LinkContext &context() const { return m_ctx; }
    // The linking-site row now reads row (a direct link rewrote it): the
    // same-site test and the rules' scope follow.
    void setLinkingSiteRow(const QString &row, std::shared_ptr<const RuleSet> rules = {});

    // Extraction, page test, resolution, rules (logging rejections),
    // seen-page test, same-site test and the recording test, in that order.
    LineResult examine(QStringView line) const;

private:
    // What every link of a page is tested against, made once.
    struct Keys {
        FoldedNeedle mainSite;
        QString mainSiteKey;
        FoldedNeedle linkingSiteKey;
        QList<FoldedNeedle> fileTypes;
    };
    LinkContext m_ctx;
    std::shared_ptr<const RuleSet> m_rules;
    Keys m_keys;
};

// One line examined on its own.
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
// The same for line markerIndex of a reading's lines.
QString redirectTarget(const PageReading &reading, qsizetype markerIndex, const QString &location,
                       const LinkContext &ctx);

} // namespace tarnwick
