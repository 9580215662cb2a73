#pragma once
// The scanning options as the options window keeps them: how its two number
// boxes are checked, how the stored values read back, and the list of page
// file types with its file. No widgets.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {
class SettingsStore;
}

namespace tarnwick {

// The page file types, one per line, beside the program.
inline const QString kFileTypesFile = QStringLiteral("filetypes.txt");

// What a number box holds: nothing, a number that fits a 16-bit whole number
// once a fraction is rounded (half to even), the start of a number still
// being typed (a lone sign, a sign and a point, a mantissa and its "e"), or
// anything else.
enum class NumberText { Empty, Fits, Partial, Invalid };
NumberText checkNumberText(const QString &text);

// The whole number of a text that fits, rounded as above; fallback for any
// other text.
int numberTextValue(const QString &text, int fallback);

// The page time-out in seconds as the options window keeps it: every text it
// accepts, rounded as it rounds; 60 for anything else.
int storedTimeout(const platform::SettingsStore &store);

// A check box's stored state: on when the stored value, read as a whole
// number (the default when missing or not a number), is 1.
bool storedCheck(const platform::SettingsStore &store, const QString &key, int defaultValue);

// The page-limit index: the stored one when it lies within 0..12, else 4.
int storedPageLimitIndex(const platform::SettingsStore &store);

// A typed extension as the list keeps it: a "." put in front when it has
// none, then every ".." made ".". The letters stay as typed.
QString fileTypeEntry(const QString &typed);

// The list's items from the file's text: every line but empty ones and a
// single space, in file order.
QStringList fileTypeListItems(const QString &text);

// The file's bytes: every item followed by CR LF; nothing for an empty list.
QByteArray fileTypesBytes(const QStringList &items);

// Reads the list from path; empty when there is no such file.
QStringList readFileTypeList(const QString &path);
// Replaces the file with the list. On failure the old file stays as it was
// and error says why.
bool writeFileTypeList(const QString &path, const QStringList &items, QString *error = nullptr);

} // namespace tarnwick
