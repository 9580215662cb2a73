// The main window's buttons that open the two import windows.

#include <QPushButton>

#include "shell/mainwindow/form1.h"
#include "shell/windowregistry.h"
#include "shell/windows/controls.h"
#include "shell/windows/form4.h"
#include "shell/windows/form4a.h"
#include "shell/windows/modeless.h"
#include "workspace/context.h"

namespace tarnwick {

namespace {

// One window of each kind: a second open brings the open one forward with
// its contents as they are.
template <typename Make>
void showImportWindow(QPointer<QWidget> &slot, Make make)
{
    showSingleWindow(slot, [&make]() -> QWidget * {
        auto *window = make();
        window->Form_Load();
        return window;
    });
}

} // namespace

void Form1::buildImportControls()
{
    Command7 = makeButton(QStringLiteral("Automation"), QStringLiteral("Import websites from a file"),
                          QStringLiteral("Command7"), m_shellOptions);
    connect(cmdImport, &QPushButton::clicked, this, [this] { cmdImport_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(cmdImport2, &QPushButton::clicked, this, [this] { cmdImport2_Click(); });
}

void Form1::cmdImport_Click()
{
    showImportWindow(m_windows.Form4, [this] { return new Form4(m_ctx, m_windows, *m_project, *this, this); });
}

void Form1::Command7_Click()
{
    cmdImport_Click();
}

void Form1::cmdImport2_Click()
{
    showImportWindow(m_windows.Form4a, [this] { return new Form4a(m_ctx, m_windows, *m_project, this); });
}

} // namespace tarnwick
