#pragma once
// The "Import Linking Sites" window: linking sites for the current main site
// from a text file, from the links of the user's own link page (Simple) or
// from the domains the user's script prints (Advanced). Found links wait in
// the window's result list until the user adds the chosen ones.

#include <QPointer>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace platform {
class ListView;
class ReportView;
}

namespace tarnwick {

class AppContext;
class MainWindowLink;
class Project;
class WindowRegistry;

// The delimiter list's text while nothing is chosen or typed.
extern const QString kDelimiterPrompt;

class Form4 : public QWidget {
    Q_OBJECT
public:
    // A window of its own owned by owner (the main window); it deletes
    // itself when closed. Linking sites it adds are told to link.
    Form4(AppContext &ctx, WindowRegistry &windows, Project &project, MainWindowLink &link, QWidget *owner);
    ~Form4() override;

    QGroupBox *Frame3 = nullptr;  // "Get linking sites from a file"
    QLabel *Label12 = nullptr;
    QPushButton *Command4 = nullptr;  // "Import"
    QGroupBox *Frame1 = nullptr;      // "Scan my website for linking sites"
    QRadioButton *Option1[2] = {};    // 0 Simple, 1 Advanced
    QLabel *Option1Caption[2] = {};   // their (wrapped) captions
    QLineEdit *Text1 = nullptr;       // link page (Simple)
    QLineEdit *Text2 = nullptr;       // script (Advanced)
    QComboBox *Combo1 = nullptr;      // delimiter
    QPushButton *Command1 = nullptr;  // "Get Links"
    QLabel *Label9 = nullptr;
    platform::ListView *ListView1 = nullptr;  // the result list
    platform::ReportView *ListView1View = nullptr;
    QPushButton *cmdAdd = nullptr;  // "Add Selected Links to My Link List"
    QStatusBar *StatusBar1 = nullptr;

    void Form_Load();
    void Command1_Click();
    void cmdAdd_Click();
    void ListView1_MouseUp(Qt::MouseButton button);
    void Command4_Click();
    void Option1_Click(int index);
    void Text1_Change();
    void Text2_Change();
    void Combo1_Change();
    void Combo1_Click();

    QString panelText() const;
    void setPanelText(const QString &text);
    // "Get Links" is running (it gives way to the event loop meanwhile).
    bool gettingLinks() const { return m_getting; }
    // The chosen item of the delimiter list; -1 when the text was typed.
    int comboIndex() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Project *project() const;
    // The main site imports go to now; 0, after telling the user, when the
    // project has none.
    int importTarget();
    void rowsAdded();
    // Says where it connects and fetches the typed address; false when the
    // window went meanwhile.
    bool connectAndFetch(const QString &typed, QString &body);

    AppContext &m_ctx;
    WindowRegistry &m_windows;
    QPointer<Project> m_project;
    MainWindowLink &m_link;
    QLabel *m_panel = nullptr;
    bool m_getting = false;
    bool m_closing = false;  // closed: work under way lets go
};

} // namespace tarnwick
