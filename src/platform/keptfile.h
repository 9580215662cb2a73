#pragma once
// A scratch file rewritten over and over in place while others may read it:
// kept open between writes, so a write costs its bytes rather than opening,
// creating and closing the file each time.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

namespace platform {

class KeptFile {
public:
    KeptFile() = default;
    ~KeptFile();
    KeptFile(const KeptFile &) = delete;
    KeptFile &operator=(const KeptFile &) = delete;

    // Afterwards the file at path holds exactly bytes. A file that cannot be
    // opened for writing (read-only, say) is deleted and made anew. The open
    // file is checked against its name every 64 writes or every second,
    // whichever comes first: once its name
    // was deleted or renamed over, the path gets a file of its own again,
    // and a size someone else gave it is cut back. False when it could not
    // be written.
    bool replace(const QString &path, const QByteArray &bytes);
    // Lets go of the file; the next replace opens it again.
    void close();
    bool isOpen() const { return m_fd >= 0; }

private:
    bool open(const QString &path);
    bool stillValid();

    QString m_path;
    int m_fd = -1;
    qint64 m_size = 0;  // of the file as last written or seen
    int m_writes = 0;   // since the last check
    QElapsedTimer m_checked;
};

} // namespace platform
