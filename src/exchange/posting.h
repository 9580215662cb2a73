#pragma once
// Posting the results to the user's own script URLs: which rows go, the URL
// each one requests, the log text and the two help texts. Plain data only.

#include <QByteArray>
#include <QString>
#include <QVector>

#include "workspace/projectfile.h"

namespace tarnwick {

enum class PostMode { OneUrl = 0, UrlPerMainSite = 1 };

// The script URL of the first target whose main site the row's "Main"
// stands for (as the link page matches them); "" when there is none.
QString getScriptURL(const QVector<PostTarget> &targets, const QString &rowMain);

// A script URL that names nothing to request: blank, or a scheme alone.
bool isEmptyTemplate(const QString &scriptUrl);

// What $Status becomes for a row: "True" when the status counts as a link,
// "" for a "Missing" row (not posted), otherwise "False".
QString postedStatus(const QString &status);

// The script URL with $MainSite, $FoundOn, $LinkingSite and $Status (in
// that order, names in any case) replaced by the row's values, the first
// three URL-encoded.
QString substitutePostVariables(const QString &scriptUrl, const ResultRow &row, const QString &status);

struct PostRequest {
    int row = 0;            // the results row, from 1
    QString url;            // as the script URL made it; the fetch may add a scheme
    QString encodedLinking; // shown while it is sent
};

struct PostingPlan {
    QVector<PostRequest> requests;
    bool noScriptUrl = false;  // no usable script URL was given at all
};

// The requests of one posting, from the rows as they stand (in list order)
// and the script URLs of the mode.
PostingPlan planPosting(const QVector<ResultRow> &rows, PostMode mode, const QString &singleUrl,
                        const QVector<PostTarget> &targets);

// "Sending Site ", the row, ": " and the encoded linking site.
QString sendingSiteText(const PostRequest &request);

// The log lines of one request: the URL as requested, then the reply (its
// first 64 KB, and how many bytes more it had) and the transfer's failure
// when there is one.
QString postLogEntry(const QString &requestedUrl, const QByteArray &reply, const QString &error);

// The help boxes of the Post tab: text and title.
struct HelpBox {
    QString text;
    QString title;
};
HelpBox urlVariablesHelp();
HelpBox urlExampleHelp();

} // namespace tarnwick
