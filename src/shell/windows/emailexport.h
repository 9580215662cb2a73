#pragma once
// The "Export Emails" window: writes every stored e-mail address to a
// delimited text file and may then empty the e-mail table.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tarnwick {

class AppContext;
class WindowRegistry;

// Empties the e-mail table; says so (in a box of owner) when it could not.
// The statistics show the reset link count.
void deleteAllEmails(AppContext &ctx, QWidget *owner);

class frmExport : public QWidget {
    Q_OBJECT
public:
    frmExport(AppContext &ctx, WindowRegistry &windows, QWidget *parent = nullptr);

    void Form_Load();
    void Command1_Click();  // "Export"

    QComboBox *Combo1 = nullptr;     // output type
    QCheckBox *Check2 = nullptr;     // a space after each ";"
    QCheckBox *Check1 = nullptr;     // delete the addresses afterwards
    QPushButton *Command1 = nullptr;

private:
    AppContext &m_ctx;
    WindowRegistry &m_windows;
};

} // namespace tarnwick
