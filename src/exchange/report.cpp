#include "exchange/report.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <memory>

#include "platform/safefile.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/services.h"
#include "workspace/textcase.h"

namespace tarnwick {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isLinkStatus(const QString &status)
{
    return status == QLatin1String("Direct Link") || status == QLatin1String("Domain Link")
           || status == QLatin1String("Indirect Link") || status == QLatin1String("Redirect Link");
}

bool isNoneFound(const QString &status)
{
    return status.contains(QLatin1String("None Found"), Qt::CaseInsensitive);
}

QString linkingDomain(const QString &url)
{
    QString d = url;
    return getDomain(d);
}

// The host a main site or a row's "Main" stands for, so that the two forms
// (the typed main site and the reduced one the scanner records) compare.
QString mainSiteKey(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QStringLiteral("http://"), Qt::CaseInsensitive);
    t.remove(QStringLiteral("https://"), Qt::CaseInsensitive);
    if (t.size() > 4 && t.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        t.remove(0, 4);
    const qsizetype slash = t.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        t.truncate(slash);
    return t.toLower();
}

QString percent(const QLocale &locale, double value)
{
    return locale.toString(value, 'f', 2);
}

} // namespace

QString htmlEscape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default: out += c; break;
        }
    }
    return out;
}

QString localeTimeText(const QLocale &locale, const QTime &time)
{
    // The long form carries the zone name ("t"); the report shows the clock
    // time only.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return locale.toString(time, out.trimmed());
}

ReportCounts reportCounts(const ReportInput &input)
{
    ReportCounts c;
    c.mainSites = input.mainSites.size();
    for (const MainSiteData &m : input.mainSites)
        c.linkingSites += m.links.size();
    c.pages = input.pagesScanned;
    c.errors = input.errorCount;
    QSet<QPair<QString, QString>> linkedSites;
    for (const ResultRow &r : input.results) {
        if (r.status == QLatin1String("Direct Link"))
            ++c.direct;
        else if (r.status == QLatin1String("Domain Link") || r.status == QLatin1String("Indirect Link"))
            ++c.indirect;
        else if (r.status == QLatin1String("Redirect Link"))
            ++c.redirect;
        else if (isNoneFound(r.status))
            ++c.noneFound;
        if (isLinkStatus(r.status))
            linkedSites.insert({r.main, r.linking});
    }
    c.reciprocal = c.direct + c.indirect + c.redirect;
    c.sitesWithLinks = linkedSites.size();
    return c;
}

QString reportText(const ReportInput &input, const std::function<void()> &yield)
{
    QString text;
    writeReportText(input, [&text](const QString &piece) { text += piece; }, yield);
    return text;
}

void writeReportText(const ReportInput &input, const std::function<void(const QString &)> &write,
                     const std::function<void()> &yield)
{
    const ReportCounts c = reportCounts(input);
    const QLocale &loc = input.locale;

    // Handed on in pieces of about this many characters.
    constexpr qsizetype kPiece = 256 * 1024;
    QString out;
    auto handOn = [&](bool always) {
        if (always || out.size() >= kPiece) {
            write(out);
            out.clear();
        }
    };
    out += QStringLiteral("<html>") + kCrLf + QStringLiteral("<head>") + kCrLf
           + QStringLiteral("<title>Reciprocal Link Report</title>") + kCrLf + QStringLiteral("<body>") + kCrLf
           + QStringLiteral("<H1>Reciprocal Link Report</H1>") + kCrLf;
    out += QStringLiteral("Date: ") + loc.toString(input.now.date(), QLocale::ShortFormat) + QStringLiteral("<BR>")
           + kCrLf;
    out += QStringLiteral("Time: ") + localeTimeText(loc, input.now.time()) + QStringLiteral("<BR><BR>") + kCrLf;
    out += QStringLiteral("<hr>") + kCrLf + QStringLiteral("<table cellpadding=5 border=0>") + kCrLf;
    out += QStringLiteral("<tr><td colspan=2><b>Overview</b></td></tr>");

    const std::pair<const char *, qint64> rows[] = {
        {"<tr><td>Total Main Sites:</td><td> ", c.mainSites},
        {"<tr><td>Total Linking Sites:</td><td> ", c.linkingSites},
        {"<tr><td>Total Pages Scanned:</td><td> ", c.pages},
        {"<tr><td>Total Reciprocal Links:</td><td> ", c.reciprocal},
        {"<tr><td><li>Direct Links</li></td><td> ", c.direct},
        {"<tr><td><li>Indirect Links</li></td><td> ", c.indirect},
        {"<tr><td><li>Redirect Links</li></td><td> ", c.redirect},
        {"<tr><td>Total Non-Linking Sites:</td><td> ", c.noneFound},
        {"<tr><td>Total Errors:</td><td> ", c.errors},
    };
    for (const auto &[label, count] : rows)
        out += QLatin1String(label) + QString::number(count) + QStringLiteral("</td></tr>") + kCrLf;

    out += QStringLiteral("<tr><td colspan=2>&nbsp</td></tr>");
    out += QStringLiteral("<tr><td colspan=2><b>Percentages/Averages</b></td></tr>");
    const qint64 sites = c.sitesWithLinks + c.noneFound;
    if (sites > 0) {
        const double s = double(sites);
        out += QStringLiteral("<tr><td>Sites with Reciprocal Links:</td><td>")
               + percent(loc, double(c.sitesWithLinks) / s * 100.0) + QStringLiteral("%</td></tr>") + kCrLf;
        out += QStringLiteral("<tr><td>Sites with No Links:</td><td>") + percent(loc, double(c.noneFound) / s * 100.0)
               + QStringLiteral("%</td></tr>") + kCrLf;
        out += QStringLiteral("<tr><td>Average Pages Scanned Per Site:</td><td>")
               + percent(loc, double(c.pages) / s) + QStringLiteral("</td></tr></table><BR><BR>") + kCrLf;
    } else {
        out += QStringLiteral("<tr><td>Sites with Reciprocal Links:</td><td>0%</td></tr>") + kCrLf;
        out += QStringLiteral("<tr><td>Sites with No Links:</td><td>100%</td></tr>") + kCrLf;
        out += QStringLiteral("<tr><td>Average Pages Scanned Per Site:</td><td>0</td></tr></table><BR><BR>") + kCrLf;
    }

    out += QStringLiteral("<h1>Main Site Specific Overviews</h1>") + kCrLf;

    // Rows by linking domain, in list order, so each linking site finds its
    // rows without comparing against every row.
    QHash<QString, QVector<qsizetype>> rowsByDomain;
    QVector<QString> rowMainKeys(input.results.size());
    for (qsizetype i = 0; i < input.results.size(); ++i) {
        rowsByDomain[linkingDomain(input.results[i].linking)].append(i);
        rowMainKeys[i] = mainSiteKey(input.results[i].main);
    }

    for (const MainSiteData &m : input.mainSites) {
        out += QStringLiteral("<h3>") + htmlEscape(m.text) + QStringLiteral("</h3>") + kCrLf;
        const QString mainKey = mainSiteKey(m.text);
        for (const LinkingSiteRow &site : m.links) {
            const QString d = linkingDomain(site.website);
            const auto found = rowsByDomain.constFind(d);
            if (found != rowsByDomain.constEnd()) {
                for (const qsizetype i : *found) {
                    const ResultRow &r = input.results[i];
                    // A row found for another main site belongs there.
                    if (!r.main.isEmpty() && rowMainKeys[i] != mainKey)
                        continue;
                    out += QStringLiteral("Site: <a href='") + htmlEscape(withHttpScheme(d)) + QStringLiteral("'>")
                           + htmlEscape(d) + QStringLiteral("</a><BR>");
                    if (isLinkStatus(r.status)) {
                        out += QStringLiteral("Status: ") + htmlEscape(r.status) + QStringLiteral("<BR>");
                        out += QStringLiteral("Found On: <a href='") + htmlEscape(withHttpScheme(r.linkUrl))
                               + QStringLiteral("'>") + htmlEscape(r.linkUrl) + QStringLiteral("</a><BR>");
                    } else if (isNoneFound(r.status)) {
                        out += QStringLiteral("Status: ") + htmlEscape(r.status) + QStringLiteral("<BR>");
                    }
                    out += QStringLiteral("<BR>");
                    handOn(false);
                }
            }
            if (yield)
                yield();
        }
        if (yield)
            yield();
    }
    handOn(true);
}

QString tabExportText(const QStringList &headers, const QVector<QStringList> &rows)
{
    auto field = [](QString f) {
        f.replace(QLatin1Char('\t'), QLatin1Char(' '));
        f.replace(QLatin1Char('\r'), QLatin1Char(' '));
        f.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return f;
    };
    auto line = [&](const QStringList &fields) {
        QStringList clean;
        clean.reserve(fields.size());
        for (const QString &f : fields)
            clean << field(f);
        return clean.join(QLatin1Char('\t')) + kCrLf;
    };
    QString out = line(headers);
    out += kCrLf;
    for (const QStringList &r : rows)
        out += line(r);
    return out;
}

ReportInput reportInputOf(const Project &project, const AppContext &ctx)
{
    ReportInput in;
    for (int i = 0; i < project.List4->count(); ++i) {
        MainSiteData site{project.List4->item(i), {}};
        if (const platform::ListView *list = project.List1(i + 1)) {
            for (int r = 1; r <= list->count(); ++r)
                site.links.append(LinkingSiteRow{list->text(r), list->subItem(r, 1), {}, {}, {}});
        }
        in.mainSites.append(site);
    }
    in.results = resultRowsAsWritten(*project.List3);
    in.errorCount = project.lstErr->count();
    in.pagesScanned = ctx.lPagesScanned;
    in.now = ctx.clock().now();
    in.locale = QLocale();
    return in;
}

QString tempReportPath(const AppContext &ctx)
{
    return ctx.programPath(QStringLiteral("tempreport.html"));
}

bool makeReport(const Project &project, const std::function<void()> &yield, const std::function<bool()> &stillWanted,
                QString *error)
{
    if (error)
        error->clear();
    AppContext &ctx = project.ctx();
    // The copy kept with the project. Named after the project's own file,
    // not the last one opened: after New that would put this
    // report in place of another project's. Taken with the rest of the
    // input, before the build gives way to the event loop.
    const QString name = reportNameForProject(project.strProjectFile);
    const QString folder = project.projectFilesFolder();
    std::unique_ptr<platform::PieceWriter> copy;
    if (!name.isEmpty() && QDir().mkpath(folder))
        copy = std::make_unique<platform::PieceWriter>(folder + QLatin1Char('/') + name);

    // Written in pieces; neither file is replaced before the last piece.
    platform::PieceWriter temp(tempReportPath(ctx));
    writeReportText(
        reportInputOf(project, ctx),
        [&](const QString &piece) {
            const QByteArray bytes = piece.toUtf8();
            temp.write(bytes);
            if (copy)
                copy->write(bytes);
        },
        yield);
    if (stillWanted && !stillWanted())
        return false;
    const QByteArray end = QByteArrayLiteral("\r\n");
    temp.write(end);
    QString why;
    auto failed = [&why, error](const QString &path) {
        if (error)
            *error += path + QStringLiteral("\r\n") + why + QStringLiteral("\r\n");
    };
    if (copy) {
        copy->write(end);
        if (!copy->commit(&why))
            failed(folder + QLatin1Char('/') + name);
    }
    const bool written = temp.commit(&why);
    if (!written)
        failed(tempReportPath(ctx));
    return written;
}

QString tabExportOf(const Project &project)
{
    const platform::ListView &results = *project.List3;
    QVector<QStringList> rows;
    for (const ResultRow &r : resultRowsAsWritten(results))
        rows.append({r.main, r.linking, r.status, r.number, r.linkUrl});
    return tabExportText(results.columnHeaders(), rows) + QStringLiteral("\r\n");
}

} // namespace tarnwick
