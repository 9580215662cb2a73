#pragma once
// The page text and link rules as they stood before the one-pass reading,
// kept as the reference the faster code is compared against. The results
// (notes, line results, rules) are the production records.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

#include "scanner/linkrules.h"
#include "scanner/pagetext.h"

namespace reference {

using tarnwick::LineResult;
using tarnwick::PageNotes;
using tarnwick::Rule;
using tarnwick::RuleLog;

struct LinkContext {
    QString mainSite;
    QString curUrl;
    QString curDir;
    QString sockHost;
    QString mainSiteText;
    QString linkingSiteRow;
    bool useFileTypes = true;
    QStringList fileTypes;
    QList<Rule> rules;
    RuleLog ruleLog;
    std::function<bool(QString &)> siteKnown;
    std::function<bool()> foundOnKnown;
};

class DumpLineReader {
public:
    explicit DumpLineReader(QString normalized) : m_text(std::move(normalized)) {}
    bool atEnd() const { return m_pos > m_text.size(); }
    QStringView next();

private:
    QString m_text;
    qsizetype m_pos = 0;
};

QString getBaseDir(const QString &url);
QString resolveLink(QString &link, const QString &sockHost, const QString &curDir);
bool isSameSite(const QString &link, const QString &linkingSiteRow);
bool isDirectLink(const QString &link, const QString &mainSite);
bool isDomainLink(const QString &link, const QString &mainSite);
const Rule *rejectingRule(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                          const QString &linkingSiteText);
bool checkRules(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                const QString &linkingSiteText, const RuleLog &log = {});

PageNotes pageStatusNotes(const QString &page, const QString &mainSite);
QString normalizeHrefs(const QString &page);
QString pageDumpPath(const QString &programDir, int socketIndex);
QString pageDump2Path(const QString &programDir, int socketIndex);
bool writePageDump(const QString &programDir, int socketIndex, const QString &normalized);
bool writePageDump2(const QString &programDir, int socketIndex, const QString &normalized);
bool isRedirectMarker(QStringView line);
std::optional<QString> hrefValue(QStringView line);
bool isPageValue(const QString &value, bool useFileTypes, const QStringList &fileTypes);
LineResult examineLine(QStringView line, const LinkContext &ctx);
QString redirectAddress(const QString &target, const LinkContext &ctx);
QString redirectTarget(QStringView markerLine, DumpLineReader &reader, const QString &location,
                       const LinkContext &ctx);

} // namespace reference
