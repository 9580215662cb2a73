#pragma once
// Message boxes and file dialogs behind one seam, so that tests answer them.

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

// Only ever passed on: this layer makes no window.
class QWidget;

namespace platform {

// Button sets and icons, combined as one number.
enum MsgStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

// Answers.
enum MsgAnswer : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct FileDialogRequest {
    QString initDir;
    QString filter;    // "Description (*.ext)|*.ext|..." pairs
    QString fileName;  // proposed name
    QString title;
    // Save dialogs: the dialog itself asks before a file is replaced. Off
    // where the caller asks its own question.
    bool confirmOverwrite = true;
};

// Every box and dialog names its owner, the window that asks (or a control
// in it): it belongs to that window and stays over it. No owner means the
// main window.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An empty title means the application's own title.
    virtual int msgBox(QWidget *owner, const QString &text, int style = vbOKOnly, const QString &title = QString())
        = 0;
    // The chosen path, or "" when the user cancelled.
    virtual QString openFile(QWidget *owner, const FileDialogRequest &request) = 0;
    virtual QString saveFile(QWidget *owner, const FileDialogRequest &request) = 0;
};

// Test double: records every box and dialog and answers from queues. With an
// empty queue a box answers OK (or Yes / No by `defaultAnswer`) and a file
// dialog answers "" (cancelled).
class ScriptedDialogs : public Dialogs {
public:
    struct Box {
        QString text;
        int style;
        QString title;
    };
    int msgBox(QWidget *owner, const QString &text, int style, const QString &title) override;
    QString openFile(QWidget *owner, const FileDialogRequest &request) override;
    QString saveFile(QWidget *owner, const FileDialogRequest &request) override;

    std::deque<int> answers;
    std::deque<QString> fileAnswers;
    int defaultAnswer = vbOK;
    QList<Box> boxes;
    QList<FileDialogRequest> fileRequests;
    // The owner each box and dialog was given, in the order asked; compared,
    // never followed (the window may be gone).
    QList<const QWidget *> owners;

    QStringList texts() const;
    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }
};

} // namespace platform
