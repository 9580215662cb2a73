#pragma once
// The "Reports" tab: the report view, building the report and saving it or
// the tab-delimited export under a name the user chooses.

#include <QObject>
#include <QString>
#include <memory>

class QPushButton;
class QWidget;

namespace tarnwick {

class AppContext;
class Project;

class ReportPanel : public QObject {
    Q_OBJECT
public:
    ReportPanel(AppContext &ctx, Project &project, QWidget *page, QObject *owner);
    ~ReportPanel() override;

    // The report view. A light HTML view stands behind this seam; a full
    // browser can take its place.
    class ReportBrowser {
    public:
        virtual ~ReportBrowser() = default;
        virtual QWidget *widget() = 0;
        // Shows a local file, or an empty page for "about:blank".
        virtual void navigate(const QString &target) = 0;
        // What was last navigated to.
        virtual QString locationURL() const = 0;
    };
    std::unique_ptr<ReportBrowser> WebBrowser2;
    QPushButton *Command8 = nullptr;    // "Save Report As"
    QPushButton *Command8a = nullptr;   // "Save Tab Delimited"
    QPushButton *Command12 = nullptr;   // builds the report again

    // Builds the HTML report, writes and shows it; true when it was
    // written. Never fails the caller: a file that cannot be written is
    // skipped. The build gives way to the event loop; a report asked for
    // meanwhile is not built inside it but makes the running build start
    // over with what the project holds then (and answers false), so the
    // report written is always the newest. A project emptied meanwhile
    // drops the build.
    bool makeReport();
    bool building() const { return m_building; }
    // Shows the saved report of a project file, or a blank page.
    void showProjectReport(const QString &projectPath);
    void Command12_Click();
    void Command8_Click();
    void Command8a_Click();

signals:
    void buildingChanged(bool building);

private:
    void setBuilding(bool on);

    AppContext &m_ctx;
    Project &m_project;
    bool m_building = false;
    bool m_rebuildWanted = false;  // a newer report was asked for during the build
    bool m_projectEmptied = false; // the project was emptied during the build
};

} // namespace tarnwick
