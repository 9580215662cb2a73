#pragma once
// E-mail addresses in the text of a page.

#include <QList>
#include <QString>

namespace tarnwick {

// The text holds exactly one address by the pattern
// [a-zA-Z0-9-_.]+@[a-zA-Z0-9-_.]+\.[a-zA-Z0-9]+ (case-sensitive, anywhere):
// none or several give false.
bool isEmail(const QString &text);

struct EmailFind {
    QString address;  // local part "@" domain part
    QString domain;   // the domain part
};

// The valid addresses of page text, in order. "%40", "%20", "&lt;" and
// "&rt;" are decoded first. Each "@" gives a candidate: its local part runs
// left (at most 40 characters, not past the previous candidate) and its
// domain part right, each up to a delimiter (a line break and a second "@"
// among them), which belongs to neither. The last label of the domain must
// be letters and not a picture's file ending.
QList<EmailFind> getEmails(QString line);

} // namespace tarnwick
