#pragma once
// Small desktop services behind seams: the shell opener, sounds and the clock.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class QSoundEffect;

namespace platform {

// Opens a web address or a folder in the desktop's default application.
// Never builds or runs a command line.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const QString &target) = 0;
};

class DesktopShell : public Shell {
public:
    void open(const QString &target) override;
};

class RecordingShell : public Shell {
public:
    void open(const QString &target) override { opened << target; }
    QStringList opened;
};

// Plays a WAV file without waiting for it; every failure is ignored.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &path) = 0;
};

class DesktopSoundPlayer : public SoundPlayer {
public:
    DesktopSoundPlayer();
    ~DesktopSoundPlayer() override;
    void play(const QString &path) override;

private:
#ifdef TARNWICK_HAVE_MULTIMEDIA
    QHash<QString, QSoundEffect *> m_effects;
#endif
};

class SilentSoundPlayer : public SoundPlayer {
public:
    void play(const QString &path) override { played << path; }
    QStringList played;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime t) : time(std::move(t)) {}
    QDateTime now() const override { return time; }
    QDateTime time;
};

// The folder of the running executable.
QString executableFolder();

// Bytes from a file or the network as text: UTF-8 when they are valid UTF-8,
// otherwise Windows-1252, so files written by older programs still read.
QString decodeText(const QByteArray &bytes);
// Bytes of Windows-1252, one character each.
QString decodeWindows1252(QByteArrayView bytes);

} // namespace platform
