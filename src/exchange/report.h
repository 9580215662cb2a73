#pragma once
// The "Reciprocal Link Report" and the tab-delimited export, built from
// plain data.

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "workspace/projectfile.h"

namespace tarnwick {

class AppContext;
class Project;

struct ReportInput {
    QVector<MainSiteData> mainSites;  // main-site text and its linking sites
    QVector<ResultRow> results;
    int errorCount = 0;
    qint64 pagesScanned = 0;
    QDateTime now;
    QLocale locale;
};

// The overview counts of the report.
struct ReportCounts {
    qint64 mainSites = 0;
    qint64 linkingSites = 0;
    qint64 pages = 0;
    qint64 direct = 0;
    qint64 indirect = 0;
    qint64 redirect = 0;
    qint64 reciprocal = 0;  // direct + indirect + redirect
    qint64 noneFound = 0;
    qint64 errors = 0;
    // The sites the percentages and the average divide by: each linking site
    // with a link row (distinct main and linking) once, plus every
    // "None Found" outcome.
    qint64 sitesWithLinks = 0;
};

ReportCounts reportCounts(const ReportInput &input);

// The report's HTML text, handed to write piece by piece (a large report is
// never held whole). yield, when given, is called between steps of the
// per-site section so the program stays responsive.
void writeReportText(const ReportInput &input, const std::function<void(const QString &)> &write,
                     const std::function<void()> &yield = {});
// The same text whole.
QString reportText(const ReportInput &input, const std::function<void()> &yield = {});

// The tab-delimited export: the headers, an empty line, one line per row,
// every line ending in CR LF.
QString tabExportText(const QStringList &headers, const QVector<QStringList> &rows);

// Text made safe to stand in HTML text and in quoted attribute values.
QString htmlEscape(const QString &text);

// The time in the locale's long form without the time-zone name.
QString localeTimeText(const QLocale &locale, const QTime &time);

// What the report of a project is built from: its main sites, its results
// in the order they were written, its errors and the counters.
ReportInput reportInputOf(const Project &project, const AppContext &ctx);

// The last report built, beside the program.
QString tempReportPath(const AppContext &ctx);

// Builds the project's report and writes it to tempreport.html and, when the
// project has a file, to its copy in "Project Files". A file that cannot be
// written is skipped, and error (when given) names it and says why; it is ""
// when both were written. True when tempreport.html was written. When
// stillWanted answers false once the text is built (the build gave way to
// the event loop meanwhile), nothing is written.
bool makeReport(const Project &project, const std::function<void()> &yield = {},
                const std::function<bool()> &stillWanted = {}, QString *error = nullptr);

// The tab-delimited export of the project's results, in the order written.
QString tabExportOf(const Project &project);

} // namespace tarnwick
