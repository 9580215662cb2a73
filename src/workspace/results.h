#pragma once
// The one record of a results row and of an error row, and the tests the
// readers of the results share.

#include <QIcon>
#include <QString>
#include <QVector>

#include "platform/listview.h"

namespace tarnwick {

// Small icons of the results list.
enum ResultIcon : int { kIconNoLink = 1, kIconLink = 2 };

// Columns of the results list, counted from 1 ("Main" is the item text).
enum ResultColumn : int { kColMain = 1, kColLinking = 2, kColStatus = 3, kColNumber = 4, kColLinkUrl = 5 };

// One row of the results list, as the scanner writes it, the project file
// keeps it (all but the colour) and the report, the exports, the link page
// and the posting read it.
struct ResultRow {
    int icon = 0;     // small icon: kIconLink, kIconNoLink, or 0 for none
    QString main;     // main-site domain searched for
    QString linking;  // linking-site domain
    QString status;
    QString number;   // the "No." column: at least three digits
    QString linkUrl;  // the page the row is about (found-on page)
    int colour = platform::kColorBlack;

    bool operator==(const ResultRow &) const = default;
};

struct ErrorListRow {
    QString error;  // "Timeout" or an HTTP status text
    QString url;    // host, or host and path; no scheme
};

// A count with at least three digits, zero-filled on the left; never cut.
QString zeroFilled(qint64 n);

// "None Found", with " (note)" when the note is neither "" nor " ".
QString noneFoundStatus(const QString &note);
// "Missing " and the count with at least three digits.
QString missingStatus(qint64 missing);

// The rows a scan writes.
ResultRow directLinkRow(const QString &main, const QString &linking, qint64 number, const QString &foundOn);
ResultRow domainLinkRow(const QString &main, const QString &linking, qint64 number, const QString &foundOn);
ResultRow redirectLinkRow(const QString &main, const QString &linking, const QString &redirectUrl);
ResultRow noneFoundRow(const QString &main, const QString &linking, const QString &note, const QString &linkingSite);
ResultRow missingRow(const QString &main, const QString &linking, qint64 missing, const QString &lastPage);

// Appends a row and returns its row number (from 1).
int addResultRow(platform::ListView &list, const ResultRow &row);
ResultRow resultRow(const platform::ListView &list, int row);
int addErrorRow(platform::ListView &list, const ErrorListRow &row);
ErrorListRow errorRow(const platform::ListView &list, int row);

// Marks a results row by hand: found gives "Direct Link" in blue with the
// link icon, not found "None Found" in red with the other icon. Nothing else
// of the row changes. False when there is no such row.
bool markResultRow(platform::ListView &list, int row, bool found);

// Whether a results status counts as a link: the status before any " ("
// note contains "direct", ignoring case. The link page, the posting and the
// report all go by it.
bool statusCountsAsLink(const QString &status);

// The rows of a results list in the order they were written; sorting only
// reorders them on screen.
QVector<ResultRow> resultRowsAsWritten(const platform::ListView &list);

// Pictures of the results list's small icons 1 and 2.
QVector<QIcon> resultIcons();

} // namespace tarnwick
