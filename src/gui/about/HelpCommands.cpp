#include "about/HelpCommands.h"

#include "about/frmAbout.h"

#include <QLayout>
#include <QScreen>

#include <algorithm>

HelpCommands::HelpCommands(const HubContext& hub, QWidget* mainWindow)
    : m_hub(hub)
    , m_mainWindow(mainWindow)
{}

HelpCommands::~HelpCommands()
{
    // The windows refer to the main window's context, so they go with it.
    delete m_about.data();
    delete m_help.data();
}

frmAbout* HelpCommands::aboutBox() const
{
    return m_about;
}

void HelpCommands::mnuHelpContents_Click()
{
    const bool firstShow = !m_help;
    if (firstShow)
        m_help = new HelpWindow(m_openWebPage);
    else
        m_help->showContents();
    showNearMainWindow(m_help, firstShow);
}

void HelpCommands::mnuAbout_Click()
{
    // An open about box is only brought forward: its load does not run again.
    const bool firstShow = !m_about;
    if (firstShow)
        m_about = new frmAbout(m_hub);
    showNearMainWindow(m_about, firstShow);
}

void HelpCommands::setOpenWebPage(HelpWindow::LinkHandler openWebPage)
{
    m_openWebPage = std::move(openWebPage);
    if (m_help)
        m_help->setOpenWebPage(m_openWebPage);
}

void HelpCommands::showNearMainWindow(QWidget* window, bool firstShow)
{
    if (firstShow && m_mainWindow && m_mainWindow->isVisible()) {
        if (QLayout* layout = window->layout())
            layout->activate(); // the about box takes its fixed size here
        // Centred on the main window, but never pushed off the screen.
        QRect place(m_mainWindow->frameGeometry().center() - window->rect().center(),
                    window->size());
        if (const QScreen* screen = m_mainWindow->screen()) {
            const QRect area = screen->availableGeometry();
            place.moveRight(std::min(place.right(), area.right()));
            place.moveBottom(std::min(place.bottom(), area.bottom()));
            place.moveLeft(std::max(place.left(), area.left()));
            place.moveTop(std::max(place.top(), area.top()));
        }
        window->move(place.topLeft());
    }
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}
