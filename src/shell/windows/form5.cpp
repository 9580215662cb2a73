#include "shell/windows/form5.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "shell/skin/skin.h"
#include "shell/windows/modeless.h"
#include "workspace/context.h"

namespace tarnwick {

Form5::Form5(AppContext &ctx, WindowRegistry &windows, QWidget *mainWindow)
    : QWidget(mainWindow, kOwnedWindow)
    , m_ctx(ctx)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Posting Log"));
    Text4 = new QPlainTextEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setReadOnly(true);
    resize(640, 420);
}

void Form5::Form_Load()
{
    // The log fills the window.
    Text4->setGeometry(rect());
    applySkin(m_ctx, m_windows, this);
}

void Form5::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Text4->setGeometry(rect());
}

void Form5::appendLog(const QString &text)
{
    QTextCursor end(Text4->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    Text4->moveCursor(QTextCursor::End);
    Text4->ensureCursorVisible();
}

QString Form5::logText() const
{
    return Text4->toPlainText();
}

} // namespace tarnwick
