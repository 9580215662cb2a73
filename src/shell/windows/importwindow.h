#pragma once
// What the two import windows share: their one-panel status bar, the text
// file they read, and giving way to the event loop while they work.

#include <QPointer>
#include <QString>

#include "shell/windows/modeless.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QWidget;

namespace platform {
class TextFileReader;
}

namespace tarnwick {

class AppContext;

// A window of its own with a fixed size: no minimise or maximise button.
inline constexpr Qt::WindowFlags kFixedWindowFlags = kOwnedWindow | Qt::MSWindowsFixedSizeDialogHint
                                                     | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                                     | Qt::WindowCloseButtonHint;

// Marks a window as one that goes when closed and gives it its title.
void setUpImportWindow(QWidget *window, const QString &name, const QString &title);

// The file-import frame Frame3: its caption, the explaining label Label12
// and the button Command4 ("Import", with its hint).
QGroupBox *makeFileFrame(QWidget *window, const QString &caption, const QString &text, const QString &hint,
                         QLabel *&label, QPushButton *&button);

// A status bar with one panel as wide as the window; panel is its label.
QStatusBar *makeOnePanelStatusBar(QWidget *window, QLabel *&panel);

// Asks for a text file in the folder of project files and opens it for
// reading line by line. False when the user cancelled or the file cannot be
// read, holds NUL bytes or no text (which the user is told). The dialog and
// any message belong to window.
bool openImportFile(AppContext &ctx, QWidget *window, const QString &folder, platform::TextFileReader &in);

// Gives way to the event loop; false when the window went meanwhile.
bool giveWay(AppContext &ctx, const QPointer<QWidget> &window);

} // namespace tarnwick
