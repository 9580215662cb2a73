#include "platform/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace platform {

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What went wrong with a file, in words. The file's own text can be the
// unhelpful "Unknown error" (a full disk found at flush time); the system's
// last error then says what happened.
QString failureText(const QFileDevice &file, int systemError)
{
    const QString own = file.errorString();
    if (!own.isEmpty() && own != QLatin1String("Unknown error"))
        return own;
    if (systemError != 0)
        return systemText(systemError);
    return own.isEmpty() ? QStringLiteral("The file could not be written.") : own;
}

const QLatin1String kCopyMark(".tmp-");

bool isCopyTail(QStringView tail)
{
    return tail.size() == 6 && std::all_of(tail.begin(), tail.end(), [](QChar c) {
               return c.unicode() < 0x80 && c.isLetterOrNumber();
           });
}

// A write cut short by a killed process leaves its copy beside the file; the
// next complete write of the file removes such copies. Only names this
// writer makes are touched, so a user's "x.prj.backup" stays.
void removeStaleCopies(const QString &path)
{
    const QFileInfo target(path);
    const QString prefix = target.fileName() + kCopyMark;
    const QDir folder = target.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name.startsWith(prefix) && isCopyTail(QStringView(name).mid(prefix.size())))
            QFile::remove(folder.filePath(name));
    }
}

QString randomTail()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString tail;
    for (int i = 0; i < 6; ++i)
        tail += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)]);
    return tail;
}

} // namespace

PieceWriter::PieceWriter(const QString &path)
    : m_path(path)
{
    if (path.isEmpty()) {
        m_error = QStringLiteral("No file name was given.");
        return;
    }
    // Writing through a link replaces the file it points at, not the link.
    const QFileInfo info(path);
    if (info.isSymLink())
        m_path = info.symLinkTarget();
    if (QFileInfo(m_path).isDir()) {
        m_error = QStringLiteral("A folder of that name exists.");
        return;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_copyPath = m_path + kCopyMark + randomTail();
        auto out = std::make_unique<QFile>(m_copyPath);
        if (out->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_out = std::move(out);
            return;
        }
        if (QFileInfo::exists(m_copyPath))
            continue;
        m_error = out->errorString();
        break;
    }
    if (m_error.isEmpty())
        m_error = QStringLiteral("The file could not be written.");
    m_copyPath.clear();
}

PieceWriter::~PieceWriter()
{
    cancel();
}

void PieceWriter::cancel()
{
    if (!m_out)
        return;
    m_out->close();
    QFile::remove(m_copyPath);
    m_out.reset();
}

bool PieceWriter::write(const QByteArray &bytes)
{
    if (!m_out)
        return false;
    errno = 0;
    if (m_out->write(bytes) != bytes.size()) {
        m_error = failureText(*m_out, errno);
        cancel();
        return false;
    }
    return true;
}

bool PieceWriter::commit(QString *error)
{
    bool ok = m_out != nullptr;
    // The explicit flush and sync matter: a failure found only at close
    // would otherwise let the short file replace the old one.
    errno = 0;
    if (ok && (!m_out->flush() || m_out->error() != QFileDevice::NoError)) {
        m_error = failureText(*m_out, errno);
        ok = false;
    }
    if (ok && ::fsync(m_out->handle()) != 0) {
        m_error = systemText(errno);
        ok = false;
    }
    if (ok) {
        // The new file keeps the old one's permissions.
        const QFileInfo old(m_path);
        if (old.exists())
            m_out->setPermissions(old.permissions());
        m_out->close();
        if (::rename(QFile::encodeName(m_copyPath).constData(), QFile::encodeName(m_path).constData()) != 0) {
            m_error = systemText(errno);
            ok = false;
        } else {
            m_out.reset();
        }
    }
    cancel();
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

bool openForReading(QFile &file, const QString &path, QString *error)
{
    auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return refuse(QStringLiteral("No file name was given."));
    if (QFileInfo(path).isDir())
        return refuse(QStringLiteral("\u201c%1\u201d is a folder, not a file.").arg(path));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString().isEmpty() ? QStringLiteral("The file could not be opened.")
                                                   : file.errorString());
    return true;
}

bool readWholeFile(const QString &path, QByteArray &bytes, QString *error)
{
    QFile in;
    if (!openForReading(in, path, error))
        return false;
    bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (error)
            *error = in.errorString();
        return false;
    }
    return true;
}

} // namespace platform
