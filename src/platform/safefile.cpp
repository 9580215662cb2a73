#include "platform/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("No file name was given."));
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("A folder of that name exists."));
    QSaveFile out(path);
    // Never fall back to writing into the old file in place.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    // The explicit flush matters: a failed flush inside commit() can go
    // unnoticed, and the short file would then replace the old one.
    if (out.write(bytes) != bytes.size() || !out.flush() || out.error() != QFileDevice::NoError) {
        const QString why = out.errorString();
        out.cancelWriting();
        return fail(why);
    }
    if (!out.commit())
        return fail(out.errorString());
    return true;
}

bool readWholeFile(const QString &path, QByteArray &bytes, QString *error)
{
    QFile in(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = path.isEmpty() ? QStringLiteral("No file name was given.")
                                    : (in.errorString().isEmpty() ? QStringLiteral("The file could not be opened.")
                                                                  : in.errorString());
        return false;
    }
    bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (error)
            *error = in.errorString();
        return false;
    }
    return true;
}

} // namespace platform
