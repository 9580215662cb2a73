#include "platform/keptfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

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
    if (fd < 0)
        return false;
    m_fd = fd;
    m_path = path;
    return true;
}

bool KeptFile::replace(const QString &path, const QByteArray &bytes)
{
    // A file deleted or renamed over meanwhile has no name left: the path
    // gets a file of its own again.
    struct stat before {};
    if (m_fd < 0 || path != m_path || ::fstat(m_fd, &before) != 0 || before.st_nlink == 0) {
        if (!open(path) || ::fstat(m_fd, &before) != 0)
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
    if (before.st_size > off_t(bytes.size()) && ::ftruncate(m_fd, off_t(bytes.size())) != 0) {
        close();
        return false;
    }
    return true;
}

} // namespace platform
