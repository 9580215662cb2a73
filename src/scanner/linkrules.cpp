#include "scanner/linkrules.h"

#include <QFile>
#include <QVarLengthArray>

#include "platform/listview.h"

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

const QLatin1String kHttp("http://");
const QLatin1String kHttps("https://");

// Host text of a link or site: schemes removed, cut before the first "/",
// reduced to its last two labels.
QString siteKey(QString text)
{
    removeHttpSchemes(text);
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        text.truncate(slash);
    return lastTwoLabels(text);
}

// A relative value that already names a host: these texts anywhere in it.
bool namesHost(const QString &link)
{
    static const QStringView markers[] = {u".com", u"www.", u".net", u".edu", u".gov", u"ww2."};
    for (const QStringView m : markers) {
        if (containsIgnoringCase(link, m))
            return true;
    }
    return false;
}

// Each leading ".." step takes one directory off curDir; running out of
// directories stops at the host (getBaseDir keeps the host). A "./" between
// the steps is the same directory.
QString climbDirectories(QString link, const QString &curDir)
{
    QString dir = curDir;
    for (;;) {
        if (link.startsWith(QLatin1String(".."))) {
            dir = getBaseDir(dir);
            link.remove(0, 3);  // "../", or all of a bare ".."
        } else if (link.startsWith(QLatin1String("./"))) {
            link.remove(0, 2);
        } else {
            break;
        }
    }
    return dir + link;
}

// Truncated endings seen on real pages (a value cut at a line end).
void repairEnding(QString &link)
{
    struct Fix {
        QLatin1String end;
        QLatin1String replacement;
    };
    static const Fix fixes[] = {
        {QLatin1String(".as"), QLatin1String(".asp")},  {QLatin1String(".ht"), QLatin1String(".htm")},
        {QLatin1String(".ph"), QLatin1String(".php")},  {QLatin1String("/hre"), QLatin1String("")},
        {QLatin1String("/href"), QLatin1String("")},    {QLatin1String("/http:"), QLatin1String("")},
        {QLatin1String("/http"), QLatin1String("")},
    };
    for (const Fix &f : fixes) {
        if (link.endsWith(f.end, CI)) {
            link.chop(f.end.size());
            link += f.replacement;
        }
    }
}

bool rejects(const Rule &rule, const QString &u)
{
    const QString &type = rule.ruleType;
    if (type == QLatin1String("LimitDirectory") || type == QLatin1String("ExcludeDirectory")) {
        QString dir = QLatin1Char('/') + rule.ruleValue + QLatin1Char('/');
        dir.replace(QLatin1String("//"), QLatin1String("/"));
        const bool inside = containsIgnoringCase(u, dir);
        return type == QLatin1String("LimitDirectory") ? !inside : inside;
    }
    if (type == QLatin1String("LimitString") || type == QLatin1String("LimitRoot"))
        return !containsIgnoringCase(u, rule.ruleValue);
    if (type == QLatin1String("ExcludeString") || type == QLatin1String("ExcludeRoot"))
        return containsIgnoringCase(u, rule.ruleValue);
    return false;
}

} // namespace

QString getBaseDir(const QString &url)
{
    QString text = url;
    QString scheme;
    if (text.startsWith(kHttp, CI)) {
        scheme = kHttp;
        text.remove(0, kHttp.size());
    } else if (text.startsWith(kHttps, CI)) {
        scheme = kHttps;
        text.remove(0, kHttps.size());
    }
    if (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    QString candidate = slash >= 0 ? text.left(slash + 1) : QString();
    // Only the host left: the host itself, without the scheme.
    if (candidate.isEmpty())
        return text + QLatin1Char('/');
    return scheme + candidate;
}

QString resolveLink(QString &link, const QString &sockHost, const QString &curDir)
{
    QString s = link;
    bool absolute = false;
    if (removeIgnoringCase(s, u"http://"))
        absolute = true;
    if (removeIgnoringCase(s, u"https://"))
        absolute = true;
    // "//host/path" names another host with the page's own scheme.
    if (s.startsWith(QLatin1String("//"))) {
        s.remove(0, 2);
        absolute = true;
    }

    if (s.startsWith(QLatin1Char('/'))) {
        s = sockHost + s;
        s.replace(QLatin1String("//"), QLatin1String("/"));
    } else if (s.startsWith(QLatin1String(".."))) {
        s = climbDirectories(s, curDir);
    } else if (s.startsWith(QLatin1String("./"))) {
        // Explicitly relative to the page's directory, whatever its text holds.
        s.replace(QLatin1String("/./"), QLatin1String("/"));
        s = climbDirectories(s, curDir);
    } else if (!absolute && !namesHost(s)) {
        s = curDir + QLatin1Char('/') + s;
    }

    if (!s.contains(QLatin1Char('/')))
        s += QLatin1Char('/');
    for (int pass = 0; pass < 4; ++pass)
        s.replace(QLatin1String("//"), QLatin1String("/"));
    if (s.size() >= 7)
        repairEnding(s);
    link = s;
    return s;
}

QString lastTwoLabels(const QString &host)
{
    const qsizetype last = host.lastIndexOf(QLatin1Char('.'));
    if (last <= 0)
        return host;
    const qsizetype before = host.lastIndexOf(QLatin1Char('.'), last - 1);
    if (before < 0)
        return host;
    return host.mid(before + 1);
}

bool isSameSite(const QString &link, const QString &linkingSiteRow)
{
    const QString site = siteKey(linkingSiteRow);
    return containsIgnoringCase(link, site) || containsIgnoringCase(site, link);
}

bool isDirectLink(const QString &link, const QString &mainSite)
{
    return containsIgnoringCase(link, mainSite);
}

bool isDomainLink(const QString &link, const QString &mainSite)
{
    return siteKey(link) == siteKey(mainSite);
}

QList<Rule> rulesFromList(const platform::ListView &lstRules)
{
    QList<Rule> rules;
    rules.reserve(lstRules.count());
    for (int row = 1; row <= lstRules.count(); ++row) {
        const platform::ListItem &item = lstRules.item(row);
        rules.append({item.text, item.subItem(1), item.subItem(2), item.subItem(3)});
    }
    return rules;
}

const Rule *rejectingRule(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                          const QString &linkingSiteText)
{
    const QLatin1String global("Global");
    for (const Rule &rule : rules) {
        if (rule.mainSite != mainSiteText && rule.mainSite != global)
            continue;
        if (rule.remoteSite != linkingSiteText && rule.remoteSite != global)
            continue;
        if (rejects(rule, u))
            return &rule;
    }
    return nullptr;
}

bool checkRules(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                const QString &linkingSiteText, const RuleLog &log)
{
    const Rule *rule = rejectingRule(u, rules, mainSiteText, linkingSiteText);
    if (!rule)
        return true;
    if (log.on)
        logRule(log.programDir, rule->ruleType, rule->ruleValue, u);
    return false;
}

void logRule(const QString &programDir, const QString &ruleType, const QString &ruleValue, const QString &u)
{
    QFile file(programDir + QLatin1String("/rules.log"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString entry = QLatin1String("Excluded Site: ") + u + QLatin1String("\r\nRule Type: ") + ruleType
                          + QLatin1String("\r\nRule Value: ") + ruleValue + QLatin1String("\r\n\r\n\r\n");
    file.write(entry.toUtf8());
}

} // namespace tarnwick
