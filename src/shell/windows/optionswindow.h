#pragma once
// The "Scanning Options" window: how a scan behaves, the page file types and
// the way to the Global Rules Editor. Every control stores its value the
// moment it changes; the scanner reads the values when it needs them.

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarnwick {

class AppContext;
class Project;
class WindowRegistry;

class frmOptions : public QWidget {
    Q_OBJECT
public:
    // A window of its own owned by owner (the main window), which owns the
    // Global Rules Editor it opens too; it deletes itself when closed.
    frmOptions(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner);

    void Form_Load();

    void cmbAdvance_Click();
    void txtTimeout_Change();
    void txtAutoSave_Change();
    void txtDomain_Change();
    void txtDomain_KeyPress(int keyAscii);
    void cmdAdd2_Click();
    void List1_Click();
    void cmdDelete_Click();
    void Command1_Click();

    QLineEdit *txtTimeout = nullptr;
    QCheckBox *chkAuto = nullptr;
    QComboBox *cmbAdvance = nullptr;
    QCheckBox *chkAuto2 = nullptr;
    QCheckBox *chkRedirect = nullptr;
    QCheckBox *chkLog = nullptr;
    QCheckBox *chkUpdate = nullptr;
    QCheckBox *chkAudioNext = nullptr;
    QCheckBox *chkAudioEmail = nullptr;
    QCheckBox *chkAudioFinished = nullptr;
    QCheckBox *chkAutoSave = nullptr;
    QLineEdit *txtAutoSave = nullptr;
    QCheckBox *chkFileTypes = nullptr;
    QListWidget *List1 = nullptr;  // the page file types
    QLineEdit *txtDomain = nullptr;
    QPushButton *cmdAdd2 = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *Command1 = nullptr;  // "Open Global Rules Editor"

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct CheckOption {
        QCheckBox *box;
        QString key;
        int defaultValue;
    };
    QList<CheckOption> checkOptions() const;  // in load order
    void numberBoxChanged(QLineEdit *box, const QString &key, const QString &resetText);
    // A number left half typed (a lone sign) becomes the reset value.
    void numberBoxLeft(QLineEdit *box, const QString &resetText);
    void numberBoxesLeft();
    void writeFileTypes();

    AppContext &m_ctx;
    WindowRegistry &m_windows;
    QPointer<Project> m_project;
};

} // namespace tarnwick
