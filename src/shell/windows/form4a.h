#pragma once
// The "Import Main Sites" window: main sites from a text file, one per line,
// each with its own empty linking-site list.

#include <QPointer>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace tarnwick {

class AppContext;
class Project;
class WindowRegistry;

class Form4a : public QWidget {
    Q_OBJECT
public:
    // A window of its own owned by owner (the main window); it deletes
    // itself when closed.
    Form4a(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner);
    ~Form4a() override;

    QGroupBox *Frame3 = nullptr;  // "Get main sites from a file"
    QLabel *Label12 = nullptr;
    QPushButton *Command4 = nullptr;  // "Import"
    QStatusBar *StatusBar1 = nullptr;

    void Form_Load();
    void Command4_Click();

    QString panelText() const;
    // An import is running (it gives way to the event loop after each site).
    bool importing() const { return m_importing; }

private:
    Project *project() const;

    AppContext &m_ctx;
    WindowRegistry &m_windows;
    QPointer<Project> m_project;
    QLabel *m_panel = nullptr;
    bool m_importing = false;
};

} // namespace tarnwick
