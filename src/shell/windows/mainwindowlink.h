#pragma once
// What another window tells the main window. The main window hands itself as
// this to the windows that must tell it something; they see none of its
// controls.

class QString;

namespace tarnwick {

class MainWindowLink {
public:
    // Linking sites were added to the current main site's list from another
    // window (a scan may be walking that list).
    virtual void linkingSitesAdded() = 0;
    // Status-bar panel 1..4.
    virtual void setPanelText(int panel, const QString &text) = 0;

protected:
    ~MainWindowLink() = default;
};

}  // namespace tarnwick
