#include "platform/keptfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
// How often the kept file is checked against the name it was opened under:
// after this many writes or this long, whichever comes first.
constexpr int kCheckEveryWrites = 64;
constexpr qint64 kCheckIntervalMs = 1000;
} // namespace

KeptFile::~KeptFile()
{
    close();
}

void KeptFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

bool KeptFile::open(const QString &path)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && errno != ENOENT) {
        ::unlink(name.constData());
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    }
    struct stat now {};
    if (fd >= 0 && ::fstat(fd, &now) != 0) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0)
        return false;
    m_fd = fd;
    m_path = path;
    m_size = now.st_size;
    m_writes = 0;
    m_checked.start();
    return true;
}

bool KeptFile::stillValid()
{
    if (++m_writes < kCheckEveryWrites && m_checked.elapsed() < kCheckIntervalMs)
        return true;
    m_writes = 0;
    m_checked.start();
    // A file deleted or renamed over meanwhile has no name left; one that
    // someone else wrote has another size.
    struct stat now {};
    if (::fstat(m_fd, &now) != 0 || now.st_nlink == 0)
        return false;
    m_size = now.st_size;
    return true;
}

bool KeptFile::replace(const QString &path, const QByteArray &bytes)
{
    if (m_fd < 0 || path != m_path || !stillValid()) {
        if (!open(path))
            return false;
    }
    const char *data = bytes.constData();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(m_fd, data + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            close();
            return false;
        }
        done += n;
    }
    // Never an old page behind a shorter new one.
    if (m_size > bytes.size() && ::ftruncate(m_fd, off_t(bytes.size())) != 0) {
        close();
        return false;
    }
    m_size = bytes.size();
    return true;
}

} // namespace platform
