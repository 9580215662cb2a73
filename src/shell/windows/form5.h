#pragma once
// The posting log window: what each posting requested and what the scripts
// answered. It keeps its text while it is open; closing it discards it.

#include <QWidget>

class QPlainTextEdit;

namespace tarnwick {

class AppContext;
class WindowRegistry;

class Form5 : public QWidget {
    Q_OBJECT
public:
    // A window of its own over the main window; deleted when closed.
    Form5(AppContext &ctx, WindowRegistry &windows, QWidget *mainWindow);

    QPlainTextEdit *Text4 = nullptr;

    void Form_Load();
    // Appends to the log and brings its end into view.
    void appendLog(const QString &text);
    QString logText() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    AppContext &m_ctx;
    WindowRegistry &m_windows;
};

} // namespace tarnwick
