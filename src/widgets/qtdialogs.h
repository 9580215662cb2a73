#pragma once
// The desktop's message boxes and file dialogs behind the Dialogs seam.

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace platform {

// Turns "Project Files (*.prj)|*.prj" into the form Qt's dialogs take: the
// description, then the patterns in brackets, separated by blanks.
QString qtFilterFromPairs(const QString &filter);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QString appTitle) : m_appTitle(std::move(appTitle)) {}
    // The owner of boxes and dialogs that name none.
    void setMainWindow(QWidget *window) { m_mainWindow = window; }
    int msgBox(QWidget *owner, const QString &text, int style, const QString &title) override;
    QString openFile(QWidget *owner, const FileDialogRequest &request) override;
    QString saveFile(QWidget *owner, const FileDialogRequest &request) override;

private:
    QWidget *ownerWindow(QWidget *owner) const;

    QString m_appTitle;
    QPointer<QWidget> m_mainWindow;
};

} // namespace platform
