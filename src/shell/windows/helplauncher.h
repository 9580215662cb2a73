#pragma once
// The help launcher: a window never drawn on screen whose load step opens
// the help file beside the program and records, machine-wide, that the
// help was shown.

#include <QWidget>

namespace tarnwick {

class AppContext;
class WindowRegistry;

// The help file beside the program.
QString helpFilePath(const AppContext &ctx);

class Form8 : public QWidget {
    Q_OBJECT
public:
    explicit Form8(AppContext &ctx, QWidget *parent = nullptr);
    void Form_Load();

private:
    AppContext &m_ctx;
};

// Loads the launcher (its load step opens the help), shows it, lets pending
// events run once and unloads it. Nothing happens while one is loaded.
void showHelpFile(AppContext &ctx, WindowRegistry &windows, QWidget *owner);

} // namespace tarnwick
