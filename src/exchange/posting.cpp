#include "exchange/posting.h"

#include "exchange/linkpage.h"
#include "platform/services.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// What the log keeps of one reply: a log of whole replies grows without end.
constexpr qsizetype kLoggedReplyBytes = 64 * 1024;

QString encoded(const QString &value)
{
    QString text = value;
    return URLEncode(text);
}

// The status without a bracketed note, so a note never decides.
QStringView statusHead(const QString &status)
{
    const qsizetype note = status.indexOf(QStringLiteral(" ("));
    return note < 0 ? QStringView(status) : QStringView(status).left(note);
}

// Example values of the help boxes.
const QString kExampleMain = QStringLiteral("yoursite.example");
const QString kExampleLinking = QStringLiteral("partnersite.example");
const QString kExampleLinkPage = QStringLiteral("partnersite.example/links.html");
const QString kExampleScript = QStringLiteral(
    "http://www.yoursite.example/getlinks.asp?mySite=$MainSite&&myURL=$LinkingSite&&myStatus=$Status&&myLinkPage="
    "$FoundOn");

} // namespace

QString getScriptURL(const QVector<PostTarget> &targets, const QString &rowMain)
{
    for (const PostTarget &t : targets) {
        if (mainSiteMatches(t.mainSite, rowMain))
            return t.scriptUrl;
    }
    return QString();
}

bool isEmptyTemplate(const QString &scriptUrl)
{
    const QString t = scriptUrl.trimmed();
    return t.isEmpty() || t.compare(QLatin1String("http://"), Qt::CaseInsensitive) == 0
           || t.compare(QLatin1String("https://"), Qt::CaseInsensitive) == 0;
}

QString postedStatus(const QString &status)
{
    if (statusCountsAsLink(status))
        return QStringLiteral("True");
    if (statusHead(status).contains(QLatin1String("missing"), Qt::CaseInsensitive))
        return QString();
    return QStringLiteral("False");
}

QString substitutePostVariables(const QString &scriptUrl, const ResultRow &row, const QString &status)
{
    // Encoded values hold no "$", so no value can bring in a variable.
    QString url = scriptUrl;
    url.replace(QLatin1String("$MainSite"), encoded(row.main), Qt::CaseInsensitive);
    url.replace(QLatin1String("$FoundOn"), encoded(row.linkUrl), Qt::CaseInsensitive);
    url.replace(QLatin1String("$LinkingSite"), encoded(row.linking), Qt::CaseInsensitive);
    url.replace(QLatin1String("$Status"), status, Qt::CaseInsensitive);
    return url;
}

PostingPlan planPosting(const QVector<ResultRow> &rows, PostMode mode, const QString &singleUrl,
                        const QVector<PostTarget> &targets)
{
    PostingPlan plan;
    if (mode == PostMode::OneUrl) {
        plan.noScriptUrl = isEmptyTemplate(singleUrl);
    } else {
        plan.noScriptUrl = true;
        for (const PostTarget &t : targets) {
            if (!isEmptyTemplate(t.scriptUrl))
                plan.noScriptUrl = false;
        }
    }
    if (plan.noScriptUrl)
        return plan;

    for (int k = 1; k <= rows.size(); ++k) {
        const ResultRow &row = rows[k - 1];
        const QString scriptUrl = mode == PostMode::OneUrl ? singleUrl : getScriptURL(targets, row.main);
        if (isEmptyTemplate(scriptUrl))
            continue;
        const QString status = postedStatus(row.status);
        if (status.isEmpty())
            continue;
        plan.requests.append(PostRequest{k, substitutePostVariables(scriptUrl, row, status), encoded(row.linking)});
    }
    return plan;
}

QString sendingSiteText(const PostRequest &request)
{
    return QStringLiteral("Sending Site ") + QString::number(request.row) + QStringLiteral(": ")
           + request.encodedLinking;
}

QString postLogEntry(const QString &requestedUrl, const QByteArray &reply, const QString &error)
{
    QString entry = kCrLf + QStringLiteral("URL: ") + requestedUrl + kCrLf;
    if (!reply.isEmpty()) {
        qsizetype kept = qMin(reply.size(), kLoggedReplyBytes);
        // The cut does not split a UTF-8 character (at most three trailing bytes).
        for (int back = 0; back < 3 && kept > 0 && kept < reply.size() && (uchar(reply.at(kept)) & 0xC0) == 0x80;
             ++back)
            --kept;
        entry += kCrLf + QStringLiteral("Returned: ") + platform::decodeText(reply.first(kept));
        if (kept < reply.size())
            entry += QStringLiteral("\u2026 (%1 more bytes)").arg(reply.size() - kept);
        entry += kCrLf;
    }
    if (!error.isEmpty())
        entry += kCrLf + QStringLiteral("Error: ") + error + kCrLf;
    return entry;
}

HelpBox urlVariablesHelp()
{
    // The closing sentence stands at the end of the text: a title shows one
    // line only.
    return {QStringLiteral("Where ever you place the following variables in your link, the software will replace "
                           "them with the actual results of your scan, and hit the resulting url once, for each item "
                           "in your results list.")
                + kCrLf + kCrLf + QStringLiteral("$MainSite - Inserts the Domain/URL of your Main Site ") + kCrLf
                + QStringLiteral("$LinkingSite - Inserts the Domain/URL from your Remote Site List") + kCrLf
                + QStringLiteral("$Status - Inserts 'True' if a reciprocal link was found, otherwise inserts 'False'")
                + kCrLf
                + QStringLiteral("$FoundOn - Inserts the Domain/URL of the page a reciprocal link was found on")
                + kCrLf + kCrLf
                + QStringLiteral("These values will be URL Encoded in order to keep the integrity of the posting "
                                 "link."),
            QStringLiteral("URL Variables")};
}

HelpBox urlExampleHelp()
{
    const ResultRow example{kIconLink, kExampleMain, kExampleLinking, QStringLiteral("Direct Link"),
                            QStringLiteral("001"), kExampleLinkPage};
    return {QStringLiteral("Each place there is a variable (starting with a $) in your script URL it will be "
                           "replaced by actual information from your results list.  The software will modify and hit "
                           "your URL once for each item in your results list, triggering your script for each item.")
                + kCrLf + kCrLf
                + QStringLiteral("For example, if your results list contained the following four items:") + kCrLf
                + kCrLf + QStringLiteral("Main Site: ") + kExampleMain + kCrLf + QStringLiteral("Linking Site: ")
                + kExampleLinking + kCrLf + QStringLiteral("Status: Direct Link") + kCrLf
                + QStringLiteral("Actual Link URL: ") + kExampleLinkPage + kCrLf + kCrLf + kExampleScript + kCrLf
                + QStringLiteral("would become") + kCrLf
                + substitutePostVariables(kExampleScript, example, QStringLiteral("True")) + kCrLf + kCrLf
                + QStringLiteral("By creating a script enabled page (getlinks.asp in the above example) you can grab "
                                 "the results from the URL when it is hit, and manipulate items in a link database or "
                                 "create an entire link page on the fly based on these values."),
            QStringLiteral("URL Example")};
}

} // namespace tarnwick
