#pragma once
// Message boxes and file dialogs behind one seam, so that tests answer them.

#include <QString>
#include <QStringList>
#include <deque>

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

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An empty title means the application's own title.
    virtual int msgBox(const QString &text, int style = vbOKOnly, const QString &title = QString()) = 0;
    // The chosen path, or "" when the user cancelled.
    virtual QString openFile(const FileDialogRequest &request) = 0;
    virtual QString saveFile(const FileDialogRequest &request) = 0;
};

// Turns "Project Files (*.prj)|*.prj" into the form Qt's dialogs take: the
// description, then the patterns in brackets, separated by blanks.
QString qtFilterFromPairs(const QString &filter);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QString appTitle) : m_appTitle(std::move(appTitle)) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    int msgBox(const QString &text, int style, const QString &title) override;
    QString openFile(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;

private:
    QString m_appTitle;
    QWidget *m_parent = nullptr;
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
    int msgBox(const QString &text, int style, const QString &title) override;
    QString openFile(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;

    std::deque<int> answers;
    std::deque<QString> fileAnswers;
    int defaultAnswer = vbOK;
    QList<Box> boxes;
    QList<FileDialogRequest> fileRequests;

    QStringList texts() const;
    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }
};

} // namespace platform
