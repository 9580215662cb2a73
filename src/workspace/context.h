#pragma once
// The program-wide values and the desktop services, in one object, so that a
// test can build a fresh program without touching the user's files.

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <memory>

#include "platform/dialogs.h"
#include "platform/machinesettings.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/urlfetch.h"

namespace tarnwick {

class AppContext {
public:
    struct Services {
        std::unique_ptr<platform::SettingsStore> settings;
        std::unique_ptr<platform::Dialogs> dialogs;
        std::unique_ptr<platform::Shell> shell;
        std::unique_ptr<platform::SoundPlayer> sound;
        std::unique_ptr<platform::Clock> clock;
        std::function<void()> yield;  // give way to the event loop
        // Empty: a file beside the program.
        std::unique_ptr<platform::MachineSettingsStore> machineSettings;
    };

    AppContext(Services services, QString programDir);
    ~AppContext();

    // The services of the desktop: the user's settings file, the desktop's
    // opener and sound, the executable's folder, and the real dialogs the
    // window side makes.
    static std::unique_ptr<AppContext> createDesktop(std::unique_ptr<platform::Dialogs> dialogs);

    platform::SettingsStore &settings() { return *m_services.settings; }
    platform::Dialogs &dialogs() { return *m_services.dialogs; }
    platform::Shell &shell() { return *m_services.shell; }
    platform::SoundPlayer &sound() { return *m_services.sound; }
    const platform::Clock &clock() const { return *m_services.clock; }
    platform::MachineSettingsStore &machineSettings() { return *m_services.machineSettings; }
    void yieldToEventLoop()
    {
        if (m_services.yield)
            m_services.yield();
    }

    // "Beside the program": the program's folder, and a path inside it.
    const QString &programDir() const { return m_programDir; }
    QString programPath(const QString &relative) const;

    // How the synchronous fetch connects; tests add their server here.
    platform::FetchOptions fetchOptions;

    // The application's own title, used by message boxes without a title.
    QString appTitle = QStringLiteral("Tarnwick");

    // Branding.
    QString strProductName;
    QString strCompanyName;
    QString strWebsiteURL;
    bool bSkin = false;

    // A scan is running (set and cleared by the scanner; other windows
    // refuse what would pull the project from under it).
    bool bScanning = false;

    // Scan counters and lifetime totals. 64-bit, and every increase saturates.
    qint64 lPagesScanned = 0;
    qint64 lPagesFound = 0;
    qint64 lLinksFound = 0;
    qint64 lMainSitesScanned = 0;
    qint64 lLinkingSitesScanned = 0;
    qint64 lHistWebScanned = 0;
    qint64 lHistEmailFound = 0;

    // The lifetime totals reach the settings file at most once a second (each
    // save rewrites the whole file); saveLifetimeCounters() writes what is due.
    QElapsedTimer lifetimeSaveClock;
    bool lifetimeCountersDirty = false;

    // Called after every count so the statistics display can redraw.
    std::function<void()> onStatsChanged;

    // Answers the "Windows Vista or later" question of the skin code. Empty
    // means this platform, where the answer is always no; tests set it.
    std::function<bool()> vistaOrLaterTest;

    // Ends the program once the main window has shut down. Empty: nothing
    // more happens (tests).
    std::function<void()> endProgram;

    // The page key of the web-site opener.
    QString strWebsitePage;

private:
    Services m_services;
    QString m_programDir;
};

} // namespace tarnwick
