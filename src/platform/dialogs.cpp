#include "platform/dialogs.h"

namespace platform {

int ScriptedDialogs::msgBox(QWidget *owner, const QString &text, int style, const QString &title)
{
    boxes.append({text, style, title});
    owners.append(owner);
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    return defaultAnswer;
}

QString ScriptedDialogs::openFile(QWidget *owner, const FileDialogRequest &request)
{
    fileRequests.append(request);
    owners.append(owner);
    if (fileAnswers.empty())
        return QString();
    const QString a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

QString ScriptedDialogs::saveFile(QWidget *owner, const FileDialogRequest &request)
{
    return openFile(owner, request);
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Box &b : boxes)
        out << b.text;
    return out;
}

} // namespace platform
