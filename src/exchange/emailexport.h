#pragma once
// The e-mail export file: every stored address followed by a delimiter.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarnwick {

// The delimiter of an output type, by its list index: 0 (and no choice, -1)
// ";" or "; " with the space box ticked, 1 a tab, 2 a line end.
QString emailExportDelimiter(int outputType, bool spaceAfterSemicolon);

// The file's bytes: each address followed by the delimiter (the last one
// too), then one line end.
QByteArray emailExportBytes(const QStringList &addresses, const QString &delimiter);

} // namespace tarnwick
