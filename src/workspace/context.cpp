#include "workspace/context.h"

#include <QCoreApplication>
#include <QDir>

namespace tarnwick {

AppContext::AppContext(Services services, QString programDir)
    : m_services(std::move(services))
    , m_programDir(std::move(programDir))
{
    if (!m_services.clock)
        m_services.clock = std::make_unique<platform::Clock>();
    if (!m_services.machineSettings)
        m_services.machineSettings =
            std::make_unique<platform::IniMachineSettingsStore>(programPath(QStringLiteral("machinesettings.ini")));
    fetchOptions.yield = [this] { yieldToEventLoop(); };
    if (m_services.settings)
        m_services.settings->onWriteFailure([this](const QString &path) {
            dialogs().msgBox(nullptr,
                             QStringLiteral("Your settings could not be saved: the disk may be full, or the file "
                                            "cannot be written.\r\n")
                                 + path,
                             platform::vbOKOnly | platform::vbExclamation);
        });
}

AppContext::~AppContext()
{
    // The last write happens as the store goes, when nobody is left to tell.
    if (m_services.settings)
        m_services.settings->onWriteFailure({});
}

std::unique_ptr<AppContext> AppContext::createDesktop(std::unique_ptr<platform::Dialogs> dialogs)
{
    Services s;
    s.settings = std::make_unique<platform::SettingsStore>(platform::SettingsStore::defaultPath(QStringLiteral("Tarnwick")));
    s.dialogs = std::move(dialogs);
    s.shell = std::make_unique<platform::DesktopShell>();
    s.sound = std::make_unique<platform::DesktopSoundPlayer>();
    s.clock = std::make_unique<platform::Clock>();
    s.yield = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    return std::make_unique<AppContext>(std::move(s), platform::executableFolder());
}

QString AppContext::programPath(const QString &relative) const
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return QDir(m_programDir).filePath(rel);
}

} // namespace tarnwick
