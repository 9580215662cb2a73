#pragma once
// The splash window: it fills the branding values, sets up the skin and,
// after 75 ticks of its timer, loads and shows the main window.

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QTimer;

namespace tarnwick {

class AppContext;
class Form1;
class SkinControl;
class WindowRegistry;

// The version information of the running program.
struct ProgramVersion {
    int major;
    int minor;
    int patch;
};
ProgramVersion programVersion();
QString programVersionText();  // major "." minor, e.g. "1.0"
QString programCompanyName();

// Fills strProductName, strCompanyName and strWebsiteURL from the program's
// version information and turns the skin on. Calling it again only
// refreshes the same values.
void initBranding(AppContext &ctx);

// The splash picture, drawn from the branding values.
QPixmap drawSplashImage(const AppContext &ctx);

class frmSplash : public QWidget {
    Q_OBJECT
public:
    frmSplash(AppContext &ctx, WindowRegistry &windows, QWidget *parent = nullptr);
    ~frmSplash() override;

    void Form_Load();
    void Timer2_Timer();

    QLabel *Image1 = nullptr;
    std::shared_ptr<SkinControl> skn;  // carries the program's skin
    QTimer *Timer2 = nullptr;          // 2 ms, off until the load step

    int tickCount() const { return m_ticks; }
    Form1 *mainWindow() const { return m_form1.get(); }

    // Runs once the main window exists, before its load step.
    std::function<void(Form1 &)> onMainWindowCreated;
    // Shows the main window (tests replace it: the window is never shown
    // there).
    std::function<void(Form1 &)> showMainWindow;

private:
    AppContext &m_ctx;
    WindowRegistry &m_windows;
    int m_ticks = 0;
    std::unique_ptr<Form1> m_form1;
};

} // namespace tarnwick
