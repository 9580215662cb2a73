#pragma once
// What a test of the main window checks that no click or key reaches: the
// text a status-bar panel is about to show, the arrangement the layout rules
// work on and the controls each tab shows, the window's own resize and
// settings steps, its load hook and whether it has unloaded, the linking-site list views it makes on
// demand and whether a posting still runs. Everything else a test reaches
// by name (support/windowcontrols.h).

#include <functional>

#include "shell/mainwindow/form1.h"

namespace tarnwick {

struct MainWindowTestAccess {
    // Panels from 1; during a scan, also the text waiting for the next paint.
    static QString panelText(const Form1 &f, int panel) { return f.panelText(panel); }
    // In twips.
    static const layout::MainWindowGeometry &layoutGeometry(const Form1 &f) { return f.m_geometry; }
    // What a change of the window's size or state runs; a hidden window gets
    // no resize event.
    static void resized(Form1 &f) { f.Form_Resize(); }
    static void loadSettings(Form1 &f) { f.loadSettings(); }
    // A main site's list of linking sites (0 the template), made when first
    // asked for; nullptr when there is no such list.
    static platform::ReportView *linkList(Form1 &f, int index) { return f.List1View(index); }
    // The controls tab `index` (1..5) shows.
    static QList<QWidget *> tabControls(const Form1 &f, int index) { return f.tabControls(index); }
    // A posting is under way; it runs inside the event loop of its button.
    static bool posting(const Form1 &f) { return f.posting(); }
    // The window has closed and shut the scan down.
    static bool unloaded(const Form1 &f) { return f.unloaded(); }
    // Called with each load step's number (1..15) just before the step runs.
    static std::function<void(int step)> &onLoadStep(Form1 &f) { return f.onLoadStep; }
};

} // namespace tarnwick
