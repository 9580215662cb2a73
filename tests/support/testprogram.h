#pragma once
// A fresh program for one test: its own program folder and settings file in a
// temporary directory, and doubles for the dialogs, the shell and the sound.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

#include "platform/dialogs.h"
#include "platform/machinesettings.h"
#include "platform/services.h"
#include "support/printers.h"
#include "workspace/context.h"

namespace testsupport {

class TestProgram {
public:
    TestProgram()
    {
        tarnwick::AppContext::Services s;
        s.settings = std::make_unique<platform::SettingsStore>(dir.filePath(QStringLiteral("settings.ini")));
        auto d = std::make_unique<platform::ScriptedDialogs>();
        auto sh = std::make_unique<platform::RecordingShell>();
        auto snd = std::make_unique<platform::SilentSoundPlayer>();
        dialogs = d.get();
        shell = sh.get();
        sound = snd.get();
        s.dialogs = std::move(d);
        s.shell = std::move(sh);
        s.sound = std::move(snd);
        s.yield = [] { QCoreApplication::processEvents(); };
        auto m = std::make_unique<platform::MemoryMachineSettingsStore>();
        machine = m.get();
        s.machineSettings = std::move(m);
        ctx = std::make_unique<tarnwick::AppContext>(std::move(s), dir.path());
        // Tests never wait long for a silent peer.
        ctx->fetchOptions.connectTimeoutSec = 5;
        ctx->fetchOptions.idleTimeoutSec = 2;
        ctx->fetchOptions.totalTimeoutSec = 20;
    }

    QString path(const QString &relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;
    std::unique_ptr<tarnwick::AppContext> ctx;
    platform::ScriptedDialogs *dialogs = nullptr;
    platform::RecordingShell *shell = nullptr;
    platform::SilentSoundPlayer *sound = nullptr;
    platform::MemoryMachineSettingsStore *machine = nullptr;
};

} // namespace testsupport
