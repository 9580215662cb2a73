#pragma once
// Writing a whole file without ever leaving a half-written or missing one:
// the bytes go to a temporary file beside the target, which then replaces it.

#include <QByteArray>
#include <QString>
#include <memory>

class QFile;

namespace platform {

// The copy a write goes through is named as the file with ".tmp-" and six
// letters or digits: this many bytes longer than the file's own name.
constexpr int kWriteCopySuffixBytes = 11;

// Writes a file in pieces, for files too large to hold whole: nothing
// replaces the old file until commit() has seen every piece written.
class PieceWriter {
public:
    explicit PieceWriter(const QString &path);
    ~PieceWriter();
    PieceWriter(const PieceWriter &) = delete;
    PieceWriter &operator=(const PieceWriter &) = delete;

    bool write(const QByteArray &bytes);
    // False (with the reason) when anything failed; the old file then stays.
    bool commit(QString *error = nullptr);

private:
    void cancel();

    QString m_path;      // the file replaced (a link's target when path is a link)
    QString m_copyPath;  // the copy written first
    std::unique_ptr<QFile> m_out;
    QString m_error;
};

// Writes bytes to path. On failure the old file (if any) is left exactly as
// it was, false is returned and error (when given) says why.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Opens path for reading; false, with the reason in error, when it cannot be.
bool openForReading(QFile &file, const QString &path, QString *error);

// Reads a whole file. On failure returns false and error says why.
bool readWholeFile(const QString &path, QByteArray &bytes, QString *error = nullptr);

} // namespace platform
