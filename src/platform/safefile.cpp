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

PieceWriter::PieceWriter(const QString &path)
{
    if (path.isEmpty()) {
        m_error = QStringLiteral("No file name was given.");
        return;
    }
    if (QFileInfo(path).isDir()) {
        m_error = QStringLiteral("A folder of that name exists.");
        return;
    }
    m_out = std::make_unique<QSaveFile>(path);
    m_out->setDirectWriteFallback(false);
    if (!m_out->open(QIODevice::WriteOnly)) {
        m_error = m_out->errorString();
        m_out.reset();
    }
}

PieceWriter::~PieceWriter()
{
    if (m_out)
        m_out->cancelWriting();
}

bool PieceWriter::write(const QByteArray &bytes)
{
    if (!m_out)
        return false;
    if (m_out->write(bytes) != bytes.size()) {
        m_error = m_out->errorString();
        m_out->cancelWriting();
        m_out.reset();
        return false;
    }
    return true;
}

bool PieceWriter::commit(QString *error)
{
    bool ok = m_out != nullptr;
    if (ok && (!m_out->flush() || m_out->error() != QFileDevice::NoError)) {
        m_error = m_out->errorString();
        m_out->cancelWriting();
        ok = false;
    }
    if (ok && !m_out->commit()) {
        m_error = m_out->errorString();
        ok = false;
    }
    m_out.reset();
    if (!ok && error)
        *error = m_error;
    return ok;
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
