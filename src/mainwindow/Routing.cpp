// How commands reach the tabs: the tab switch and its command-state table, the toolbar, the
// Edit menu and the double-click, each handed to the controller of the tab it concerns.
#include "about/HelpCommands.h"
#include "actions/WebPages.h"
#include "mainwindow/CommandState.h"
#include "mainwindow/frmQEL.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"

#include <QAction>

TabController& frmQEL::controller(int tab) const
{
    switch (Tab(tab)) {
    case Tab::New:
        return *m_new;
    case Tab::Open:
        return *m_open;
    case Tab::Tools:
        return *m_tools;
    case Tab::Web:
        break;
    }
    return *m_web;
}

TabController* frmQEL::controllerByCaption(const QString& caption) const
{
    for (int i = 0; i < kTabCount; ++i) {
        if (caption == tabCaption(Tab(i)))
            return &controller(i);
    }
    return nullptr;
}

void frmQEL::TabMain_Switch(int oldTab, int newTab)
{
    Q_UNUSED(oldTab);
    if (newTab < 0 || newTab >= kTabCount)
        return;
    // The View menu shows the new list's mode; the "Tools" tab leaves it as it was.
    if (TabMain->tabText(newTab) != tabCaption(Tab::Tools))
        showViewMode(lstQEL[size_t(newTab)]->viewMode() == QelListView::ViewMode::Icon);
    applyCommandState(newTab);
    mnuCleanUpMissing->setEnabled(Tab(newTab) == Tab::Open);
    updateUndo();
}

void frmQEL::updateUndo()
{
    const int tab = TabMain ? TabMain->CurrTab() : -1;
    const QString text = tab < 0 || Tab(tab) == Tab::New ? QString() : controller(tab).undoText();
    mnuUndo->setEnabled(!text.isEmpty());
    // A name's "&" is shown as it is, not taken for an access key.
    mnuUndo->setText(text.isEmpty()
                         ? QStringLiteral("Undo")
                         : QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void frmQEL::applyCommandState(int tab)
{
    for (const CommandStateRow& row : commandStateTable()) {
        const char* value = row.perTab[tab];
        if (!value)
            continue; // as the tab shown before left it
        const QString name = QString::fromLatin1(row.item);
        QAction* item = button(name);
        if (!item)
            item = findChild<QAction*>(name);
        if (!item)
            continue;
        const QString text = QString::fromLatin1(value);
        switch (row.property) {
        case CommandStateRow::Property::Enabled:
            item->setEnabled(text == QLatin1String("yes"));
            break;
        case CommandStateRow::Property::Caption:
            item->setText(text);
            break;
        case CommandStateRow::Property::ToolTip:
            // The button shows only its picture: a screen reader reads its text instead, which
            // must therefore say what the tooltip says.
            item->setToolTip(text);
            item->setText(text);
            break;
        }
    }
}

void frmQEL::barMain_ButtonClick(const QString& key)
{
    // A disabled button is never pressed, whoever asks.
    if (QAction* pressed = button(key); !pressed || !pressed->isEnabled())
        return;
    if (key == QLatin1String("Create"))
        mnuCreate_Click();
    else if (key == QLatin1String("Rename"))
        mnuRename_Click();
    else if (key == QLatin1String("Exit"))
        mnuExit_Click();
    else if (key == QLatin1String("Icon"))
        mnuIcon_Click();
    else if (key == QLatin1String("List"))
        mnuList_Click();
    else if (key == QLatin1String("Help"))
        mnuHelpContents_Click();
    else if (key == QLatin1String("Delete"))
        mnuDelete_Click();
}

void frmQEL::mnuCreate_Click()
{
    if (TabController* tab = controllerByCaption(TabMain->currentCaption()))
        tab->create();
}

void frmQEL::mnuRename_Click()
{
    if (TabController* tab = controllerByCaption(TabMain->currentCaption()))
        tab->rename();
}

void frmQEL::mnuDelete_Click()
{
    if (TabController* tab = controllerByCaption(TabMain->currentCaption()))
        tab->remove();
}

void frmQEL::mnuUndo_Click()
{
    if (!mnuUndo->isEnabled())
        return;
    if (TabController* tab = controllerByCaption(TabMain->currentCaption()))
        tab->undo();
}

void frmQEL::mnuHelpContents_Click()
{
    m_helpCommands->mnuHelpContents_Click();
}

void frmQEL::mnuAbout_Click()
{
    m_helpCommands->mnuAbout_Click();
}

void frmQEL::mnuWeb_Click()
{
    OpenWebPage(m_hub, supportPageUrl());
}

void frmQEL::lstQEL_DblClick(int index)
{
    // A second double-click (or Enter) while a message or dialog of the first is on screen must
    // not start a second launch.
    if (!m_launchReady || index < 0 || index >= kTabCount)
        return;
    m_launchReady = false;
    controller(index).open();
    m_launchReady = true;
}
