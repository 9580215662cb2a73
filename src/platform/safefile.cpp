#include "platform/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// What went wrong with a file, in words. The file's own text can be the
// unhelpful "Unknown error" (a full disk found at flush time); the system's
// last error then says what happened.
QString failureText(const QFileDevice &file, int systemError)
{
    const QString own = file.errorString();
    if (!own.isEmpty() && own != QLatin1String("Unknown error"))
        return own;
    if (systemError != 0)
        return QString::fromLocal8Bit(std::strerror(systemError));
    return own.isEmpty() ? QStringLiteral("The file could not be written.") : own;
}

// A write cut short by a killed process leaves its copy beside the file,
// named as the file and "." with six letters or digits; the next complete
// write of the file removes them.
void removeStaleCopies(const QString &path)
{
    const QFileInfo target(path);
    const QString prefix = target.fileName() + QLatin1Char('.');
    const QDir folder = target.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QStringView tail = QStringView(name).mid(prefix.size());
        if (name.startsWith(prefix) && tail.size() == 6
            && std::all_of(tail.begin(), tail.end(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 0x80; }))
            QFile::remove(folder.filePath(name));
    }
}

} // namespace

PieceWriter::PieceWriter(const QString &path)
    : m_path(path)
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
    errno = 0;
    if (m_out->write(bytes) != bytes.size()) {
        m_error = failureText(*m_out, errno);
        m_out->cancelWriting();
        m_out.reset();
        return false;
    }
    return true;
}

bool PieceWriter::commit(QString *error)
{
    bool ok = m_out != nullptr;
    // The explicit flush matters: a failed flush inside commit() can go
    // unnoticed, and the short file would then replace the old one.
    errno = 0;
    if (ok && (!m_out->flush() || m_out->error() != QFileDevice::NoError)) {
        m_error = failureText(*m_out, errno);
        m_out->cancelWriting();
        ok = false;
    }
    errno = 0;
    if (ok && !m_out->commit()) {
        m_error = failureText(*m_out, errno);
        ok = false;
    }
    m_out.reset();
    if (ok)
        removeStaleCopies(m_path);
    if (!ok && error)
        *error = m_error;
    return ok;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    PieceWriter out(path);
    out.write(bytes);
    return out.commit(error);
}

bool readWholeFile(const QString &path, QByteArray &bytes, QString *error)
{
    QFile in(path);
    if (!path.isEmpty() && QFileInfo(path).isDir()) {
        if (error)
            *error = QStringLiteral("\u201c%1\u201d is a folder, not a file.").arg(path);
        return false;
    }
    if (path.isEmpty() || !in.open(QIODevice::ReadOnly)) {
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
