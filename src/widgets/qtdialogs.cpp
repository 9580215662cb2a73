#include "widgets/qtdialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace platform {

QString qtFilterFromPairs(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the brackets at the end of the label, so
        // they are written there from the pattern part of the pair, where
        // ";" or "," separates them; the label's own brackets are only text.
        QString label = parts[i];
        const qsizetype bracket = label.lastIndexOf(QLatin1Char('('));
        if (bracket >= 0 && label.trimmed().endsWith(QLatin1Char(')')))
            label.truncate(bracket);
        const QStringList patterns = parts[i + 1].split(separators, Qt::SkipEmptyParts);
        out << label.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QWidget *QtDialogs::ownerWindow(QWidget *owner) const
{
    return owner ? owner->window() : m_mainWindow.data();
}

int QtDialogs::msgBox(QWidget *owner, const QString &text, int style, const QString &title)
{
    QMessageBox box(ownerWindow(owner));
    box.setWindowTitle(title.isEmpty() ? m_appTitle : title);
    box.setText(text);
    switch (style & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (style & 0x0F) {
    case vbOKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case vbAbortRetryIgnore:
        box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        break;
    case vbYesNoCancel: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case vbYesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Abort: return vbAbort;
    case QMessageBox::Retry: return vbRetry;
    case QMessageBox::Ignore: return vbIgnore;
    default: return (style & 0x0F) == vbYesNo ? vbNo : vbOK;
    }
}

QString QtDialogs::openFile(QWidget *owner, const FileDialogRequest &r)
{
    QString start = r.initDir;
    if (!r.fileName.isEmpty())
        start += QLatin1Char('/') + r.fileName;
    return QFileDialog::getOpenFileName(ownerWindow(owner), r.title.isEmpty() ? QObject::tr("Open") : r.title, start,
                                        qtFilterFromPairs(r.filter));
}

QString QtDialogs::saveFile(QWidget *owner, const FileDialogRequest &r)
{
    QString start = r.initDir;
    if (!r.fileName.isEmpty())
        start += QLatin1Char('/') + r.fileName;
    // Either the dialog or its caller asks before a file is replaced, never
    // both.
    return QFileDialog::getSaveFileName(ownerWindow(owner), r.title.isEmpty() ? QObject::tr("Save As") : r.title,
                                        start, qtFilterFromPairs(r.filter), nullptr,
                                        r.confirmOverwrite ? QFileDialog::Options()
                                                           : QFileDialog::DontConfirmOverwrite);
}

} // namespace platform
