#pragma once
// Case-insensitive text tests with the same answers as QString's own (which
// folds a few non-ASCII letters to ASCII ones), made fast for ASCII needles:
// every link of every page goes through several of them. And the two scheme
// rules every part of the program shares.

#include <QString>
#include <QStringView>

namespace tarnwick {

bool matchesIgnoringCase(QStringView text, qsizetype at, QStringView needle);
qsizetype indexOfIgnoringCase(QStringView text, QStringView needle, qsizetype from = 0);
bool containsIgnoringCase(QStringView text, QStringView needle);
// Removes every occurrence found in one left-to-right pass, as
// QString::remove does; true when something was removed.
bool removeIgnoringCase(QString &text, QStringView needle);

// Every "http://", then every "https://", removed wherever it stands,
// ignoring case.
void removeHttpSchemes(QString &text);

// The address with "http://" in front, unless it already starts with
// "http://" or "https://" (any case).
QString withHttpScheme(const QString &address);

// The main-site URL reduced to the text the link tests look for (and the
// results rows record): every "http://" and "https://" removed, then a
// leading "www." (any case) when something follows it. A path or a trailing
// "/" stays.
QString stripDomain(const QString &mainSiteUrl);

} // namespace tarnwick
