#include "scanner/linkrules.h"

#include <QFile>
#include <QHash>
#include <QVarLengthArray>

#include "platform/listview.h"

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

const QLatin1String kHttp("http://");
const QLatin1String kHttps("https://");

// A relative value that already names a host: any of ".com", "www.",
// ".net", ".edu", ".gov", "ww2." anywhere in it, ignoring case. Each holds
// one ".", so the dots are where to look.
bool namesHost(const QString &link)
{
    const QStringView text(link);
    for (qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0; dot = text.indexOf(QLatin1Char('.'), dot + 1)) {
        if (foldedAt(text, dot, u".com") || foldedAt(text, dot, u".net") || foldedAt(text, dot, u".edu")
            || foldedAt(text, dot, u".gov") || foldedAt(text, dot - 3, u"www.") || foldedAt(text, dot - 3, u"ww2."))
            return true;
    }
    return false;
}

// What passes of replacing every "//" by "/" leave: each pass halves a run
// of slashes, rounding up.
void collapseSlashes(QString &text, int passes)
{
    const char16_t *data = QStringView(text).utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i + 1 < size && !(data[i] == u'/' && data[i + 1] == u'/'))
        ++i;
    if (i + 1 >= size)
        return;
    QString out;
    out.reserve(size);
    out.append(text.constData(), i);
    while (i < size) {
        qsizetype end = i;
        while (end < size && data[end] != u'/')
            ++end;
        out.append(text.constData() + i, end - i);
        i = end;
        qsizetype run = 0;
        while (i < size && data[i] == u'/') {
            ++run;
            ++i;
        }
        for (int p = 0; p < passes && run > 1; ++p)
            run = (run + 1) / 2;
        for (; run > 0; --run)
            out.append(QLatin1Char('/'));
    }
    text = out;
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
        // Most links end in none of these letters.
        if (link.isEmpty() || foldedUnit(link.back().unicode()) != char16_t(f.end.back().unicode()))
            continue;
        if (link.endsWith(f.end, CI)) {
            link.chop(f.end.size());
            link += f.replacement;
        }
    }
}

enum class RuleKind { None, LimitDirectory, ExcludeDirectory, LimitText, ExcludeText };

RuleKind kindOf(const QString &type)
{
    if (type == QLatin1String("LimitDirectory"))
        return RuleKind::LimitDirectory;
    if (type == QLatin1String("ExcludeDirectory"))
        return RuleKind::ExcludeDirectory;
    if (type == QLatin1String("LimitString") || type == QLatin1String("LimitRoot"))
        return RuleKind::LimitText;
    if (type == QLatin1String("ExcludeString") || type == QLatin1String("ExcludeRoot"))
        return RuleKind::ExcludeText;
    return RuleKind::None;
}

constexpr int kPairBits = 4096;

int pairBit(char16_t a, char16_t b)
{
    return int((a * 131u + b) % kPairBits);
}

} // namespace

QString siteKey(QString text)
{
    removeHttpSchemes(text);
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        text.truncate(slash);
    return lastTwoLabels(text);
}

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
    bool absolute = removeHttpSchemes(s);
    // "//host/path" names another host with the page's own scheme.
    if (s.startsWith(QLatin1String("//"))) {
        s.remove(0, 2);
        absolute = true;
    }

    if (s.startsWith(QLatin1Char('/'))) {
        s = sockHost + s;
        collapseSlashes(s, 1);
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
    collapseSlashes(s, 4);
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
    return isSameSite(link, FoldedNeedle(siteKey(linkingSiteRow)));
}

bool isSameSite(const QString &link, const FoldedNeedle &linkingSiteKey)
{
    return linkingSiteKey.foundIn(link) || containsIgnoringCase(linkingSiteKey.text(), link);
}

bool isDirectLink(const QString &link, const QString &mainSite)
{
    return isDirectLink(link, FoldedNeedle(mainSite));
}

bool isDirectLink(const QString &link, const FoldedNeedle &mainSite)
{
    return mainSite.foundIn(link);
}

bool isDomainLink(const QString &link, const QString &mainSite)
{
    return isDomainLinkOfKey(link, siteKey(mainSite));
}

bool isDomainLinkOfKey(const QString &link, const QString &mainSiteKey)
{
    return siteKey(link) == mainSiteKey;
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

RuleSet::RuleSet(const QList<Rule> &rules, const QString &mainSiteText, const QString &linkingSiteText)
    : m_rules(rules)
    , m_mainSiteText(mainSiteText)
    , m_linkingSiteText(linkingSiteText)
{
    const QLatin1String global("Global");
    QHash<QString, int> seen[2];  // test text -> index in m_tests, for exclusions and limits
    for (int i = 0; i < rules.size(); ++i) {
        const Rule &rule = rules.at(i);
        if (rule.mainSite != mainSiteText && rule.mainSite != global)
            continue;
        if (rule.remoteSite != linkingSiteText && rule.remoteSite != global)
            continue;
        const RuleKind kind = kindOf(rule.ruleType);
        if (kind == RuleKind::None)
            continue;
        QString text = rule.ruleValue;
        if (kind == RuleKind::LimitDirectory || kind == RuleKind::ExcludeDirectory) {
            text = QLatin1Char('/') + rule.ruleValue + QLatin1Char('/');
            text.replace(QLatin1String("//"), QLatin1String("/"));
        }
        Test test;
        test.rule = i;
        test.limit = kind == RuleKind::LimitDirectory || kind == RuleKind::LimitText;
        test.plain = isAsciiText(text);
        if (test.plain) {
            for (QChar &c : text)
                c = QChar(foldedUnit(c.unicode()));
            if (text.size() >= 2)
                test.pairBit = pairBit(text.at(0).unicode(), text.at(1).unicode());
        }
        test.text = text;
        // A second rule with the same test would only ever reject after the
        // first one has.
        QHash<QString, int> &same = seen[test.limit ? 1 : 0];
        if (same.contains(text))
            continue;
        same.insert(text, int(m_tests.size()));
        m_tests.append(test);
    }
}

bool RuleSet::holds(const Test &test, const QString &u, const char16_t *folded, const quint64 *pairs) const
{
    const qsizetype size = test.text.size();
    if (size == 0)
        return true;
    if (!test.plain)
        return containsIgnoringCase(u, test.text);
    const char16_t *needle = QStringView(test.text).utf16();
    if (test.pairBit >= 0 && !(pairs[test.pairBit / 64] & (quint64(1) << (test.pairBit % 64))))
        return false;
    const qsizetype last = u.size() - size;
    for (qsizetype i = 0; i <= last; ++i) {
        if (folded[i] != needle[0])
            continue;
        qsizetype j = 1;
        while (j < size && folded[i + j] == needle[j])
            ++j;
        if (j == size)
            return true;
    }
    return false;
}

int RuleSet::rejectingIndex(const QString &u) const
{
    if (m_tests.isEmpty())
        return -1;
    // The link folded once, and the pairs of letters it holds.
    const qsizetype n = u.size();
    QVarLengthArray<char16_t, 256> folded(n);
    quint64 pairs[kPairBits / 64] = {};
    const char16_t *text = QStringView(u).utf16();
    for (qsizetype i = 0; i < n; ++i)
        folded[i] = foldedUnit(text[i]);
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (folded[i] < 0x80 && folded[i + 1] < 0x80) {
            const int bit = pairBit(folded[i], folded[i + 1]);
            pairs[bit / 64] |= quint64(1) << (bit % 64);
        }
    }
    for (const Test &test : m_tests) {
        if (holds(test, u, folded.constData(), pairs) != test.limit)
            return test.rule;
    }
    return -1;
}

const Rule *RuleSet::rejecting(const QString &u) const
{
    const int index = rejectingIndex(u);
    return index >= 0 ? &m_rules.at(index) : nullptr;
}

const Rule *rejectingRule(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                          const QString &linkingSiteText)
{
    const int index = RuleSet(rules, mainSiteText, linkingSiteText).rejectingIndex(u);
    return index >= 0 ? &rules.at(index) : nullptr;
}

bool checkRules(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                const QString &linkingSiteText, const RuleLog &log)
{
    return checkRules(u, RuleSet(rules, mainSiteText, linkingSiteText), log);
}

bool checkRules(const QString &u, const RuleSet &rules, const RuleLog &log)
{
    const Rule *rule = rules.rejecting(u);
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
