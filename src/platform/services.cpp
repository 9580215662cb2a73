#include "platform/services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

#ifdef TARNWICK_HAVE_MULTIMEDIA
#include <QSoundEffect>
#endif

namespace platform {

void DesktopShell::open(const QString &target)
{
    if (target.trimmed().isEmpty())
        return;
    const QFileInfo fi(target);
    const QUrl url = fi.isAbsolute() && fi.exists() ? QUrl::fromLocalFile(fi.absoluteFilePath())
                                                    : QUrl::fromUserInput(target);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

DesktopSoundPlayer::DesktopSoundPlayer() = default;

DesktopSoundPlayer::~DesktopSoundPlayer()
{
#ifdef TARNWICK_HAVE_MULTIMEDIA
    qDeleteAll(m_effects);
#endif
}

void DesktopSoundPlayer::play(const QString &path)
{
#ifdef TARNWICK_HAVE_MULTIMEDIA
    if (!QFileInfo(path).isFile())
        return;
    QSoundEffect *&effect = m_effects[path];
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(path));
    }
    effect->play();
#else
    Q_UNUSED(path);
#endif
}

QString executableFolder()
{
    return QCoreApplication::applicationDirPath();
}

namespace {
// The 0x80-0x9F range of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        out[i] = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return text;
}

} // namespace platform
