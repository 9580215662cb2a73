#pragma once
// Writing a whole file without ever leaving a half-written or missing one:
// the bytes go to a temporary file beside the target, which then replaces it.

#include <QByteArray>
#include <QString>

namespace platform {

// Writes bytes to path. On failure the old file (if any) is left exactly as
// it was, false is returned and error (when given) says why.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Reads a whole file. On failure returns false and error says why.
bool readWholeFile(const QString &path, QByteArray &bytes, QString *error = nullptr);

} // namespace platform
