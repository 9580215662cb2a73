#pragma once
// What a link found on a partner page is: its resolved form, whether it
// belongs to the partner site, whether it points to the main site, and
// whether the user's rules allow it to be scanned. Plain text tests only: no
// URL parser and no list of top-level domains, so the results stay the same
// as the stored projects and reports expect.
//
// The scanner's URL form: host, then path, no scheme, no doubled "/", at
// least one "/" (partner.example/links/page.htm).

#include <QList>
#include <QString>
#include <QStringView>
#include <QVector>

#include "workspace/textcase.h"

namespace platform {
class ListView;
}

namespace tarnwick {

// The parent directory of url, ending with "/". A leading scheme (any case)
// is kept in front of a directory and dropped when only the host is left.
QString getBaseDir(const QString &url);

// Resolves a value taken from a page against that page (host sockHost,
// directory curDir, both without scheme) into the scanner's URL form. The
// caller's variable holds the result afterwards, as the result is returned.
QString resolveLink(QString &link, const QString &sockHost, const QString &curDir);

// The site key the two tests below compare: schemes removed, cut before
// the first "/", reduced to its last two labels.
QString siteKey(QString text);

// The last two labels of a host ("www.a.example" -> "a.example"); a host of
// one or two labels unchanged.
QString lastTwoLabels(const QString &host);

// The link belongs to the linking site whose list row reads linkingSiteRow:
// either text contains the other's host's last two labels (ignoring case).
bool isSameSite(const QString &link, const QString &linkingSiteRow);
// The same with the row's siteKey made once.
bool isSameSite(const QString &link, const FoldedNeedle &linkingSiteKey);

// The link contains the main site's text (ignoring case).
bool isDirectLink(const QString &link, const QString &mainSite);
bool isDirectLink(const QString &link, const FoldedNeedle &mainSite);

// The link's host and the main site's host end in the same two labels
// (compared exactly, letter case included).
bool isDomainLink(const QString &link, const QString &mainSite);
// The same with the main site's siteKey made once.
bool isDomainLinkOfKey(const QString &link, const QString &mainSiteKey);

// One row of the rules list.
struct Rule {
    QString mainSite;    // a main-site text as stored in the main-site list, or "Global"
    QString remoteSite;  // a linking-site row text, or "Global"
    QString ruleType;    // "LimitDirectory", "ExcludeDirectory", "LimitString", ...
    QString ruleValue;
};

// The rows of the rules list (item text, columns 1 to 3), in order.
QList<Rule> rulesFromList(const platform::ListView &lstRules);

// Where rejections are logged: on when "chkLog" is 1.
struct RuleLog {
    bool on = false;
    QString programDir;  // rules.log is written here
};

// The rules in scope for one main site and one linking site, classified and
// folded once, so a link costs little per rule: rules with the same test
// are tried once, and a text a link cannot hold is ruled out by the pairs of
// letters the link has. A rule is in scope when its MainSite is
// mainSiteText or "Global" and its RemoteSite is linkingSiteText or "Global"
// (exact comparisons).
class RuleSet {
public:
    RuleSet() = default;
    RuleSet(const QList<Rule> &rules, const QString &mainSiteText, const QString &linkingSiteText);

    // Index in the list given of the first rule in scope that rejects u; -1
    // when none does.
    int rejectingIndex(const QString &u) const;
    // That rule, or nullptr.
    const Rule *rejecting(const QString &u) const;

    bool isEmpty() const { return m_tests.isEmpty(); }
    const QString &mainSiteText() const { return m_mainSiteText; }
    const QString &linkingSiteText() const { return m_linkingSiteText; }

private:
    // One test: whether u holds a text (for a limit, u must; for an
    // exclusion, u must not).
    struct Test {
        int rule = 0;         // first rule, in list order, that makes this test
        bool limit = false;
        bool plain = true;    // an ASCII text, kept in lower case; else the text as given
        QString text;
        int pairBit = -1;     // the bit of its first two letters; -1 when shorter
    };
    bool holds(const Test &test, const QString &u, const char16_t *folded, const quint64 *pairs) const;

    QList<Rule> m_rules;
    QVector<Test> m_tests;  // in the order of their first rule
    QString m_mainSiteText;
    QString m_linkingSiteText;
};

// The first rule in scope that rejects u, or nullptr when none does.
const Rule *rejectingRule(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                          const QString &linkingSiteText);

// True when u may be scanned. A rejection is logged when log.on is set.
bool checkRules(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                const QString &linkingSiteText, const RuleLog &log = {});
bool checkRules(const QString &u, const RuleSet &rules, const RuleLog &log = {});

// Appends one five-line entry for a rejected link to rules.log in
// programDir. A log that cannot be written is ignored: the log is only ever
// read by the user.
void logRule(const QString &programDir, const QString &ruleType, const QString &ruleValue, const QString &u);

} // namespace tarnwick
