#pragma once

#include "about/HelpWindow.h"

#include <QPointer>

class HubContext;
class QWidget;
class frmAbout;

// The Help menu's own commands: the help window and the about box. Each is one window at most; a
// second command brings it to the front. Neither is a child of the main window, so both outlive
// its closing, and the program ends only when the last of them closes.
class HelpCommands {
public:
    HelpCommands(const HubContext& hub, QWidget* mainWindow);
    ~HelpCommands();

    // Help > Help contents (and F1, and the toolbar's "Help"): the help at its contents page.
    void mnuHelpContents_Click();
    // Help > About: the about box, not modal.
    void mnuAbout_Click();

    // Where the help hands the web pages it links to.
    void setOpenWebPage(HelpWindow::LinkHandler openWebPage);

    frmAbout* aboutBox() const;
    HelpWindow* helpWindow() const { return m_help; }

private:
    void showNearMainWindow(QWidget* window, bool firstShow);

    const HubContext& m_hub;
    QWidget* m_mainWindow;
    QPointer<frmAbout> m_about;
    QPointer<HelpWindow> m_help;
    HelpWindow::LinkHandler m_openWebPage;
};
