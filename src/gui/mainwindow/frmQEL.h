#pragma once

#include "base/Program.h"
#include "mainwindow/CommandRouter.h"
#include "mainwindow/ListCommands.h"
#include "mainwindow/WindowState.h"
#include "ui/HubContext.h"
#include "ui/ImageList.h"
#include "ui/TabStrip.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>

class HelpCommands;
class Launching;
class NewTab;
class OpenTab;
class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QSessionManager;
class QTimer;
class QToolBar;
class QelListView;
class TabController;
class ToolsTab;
class WebTab;

// The main window: it builds and owns the controls and one controller per tab; its handlers are
// forwards to the classes that do the work: CommandRouter (every command to the tab it concerns,
// the command-state table, view modes), ListCommands (keys, filter, context menu, drops) and
// WindowState (the place and column widths the user left).
class frmQEL : public QMainWindow {
    Q_OBJECT
public:
    explicit frmQEL(const PlatformServices& services, QWidget* parent = nullptr);
    ~frmQEL() override;

    // Start-up preparation before any list is filled: the shortcut folder, the columns and the
    // toolbar's pictures. (The one-time settings migration runs just before it, in Main.)
    void InitMainWindow();
    // The window's place, size and column widths as the user left them at the last exit; read
    // before the window first shows, written when it closes.
    void restoreWindowState() { m_windowState->restore(); }
    void saveWindowState() { m_windowState->save(); }

    // Handlers
    void Form_Load();
    void Form_Activate();
    bool Form_QueryUnload(); // asks the exit question; true keeps the window open
    void mnuExit_Click();
    void mnuCreate_Click() { m_router->create(); }
    void mnuRename_Click() { m_router->rename(); }
    void mnuDelete_Click() { m_router->remove(); }
    // Edit > Undo: takes back the current tab's last Delete or Rename.
    void mnuUndo_Click() { m_router->undo(); }
    void mnuWeb_Click();
    void mnuIcon_Click() { m_router->setIconView(true); }
    void mnuList_Click() { m_router->setIconView(false); }
    void mnuHelpContents_Click();
    void mnuAbout_Click();
    void barMain_ButtonClick(const QString& key) { m_router->buttonClick(key); }
    void TabMain_Switch(int /*oldTab*/, int newTab) { m_router->switched(newTab); }
    void lstQEL_ColumnClick(int index, int column) { m_router->columnClick(index, column); }
    void lstQEL_DblClick(int index) { m_router->open(index); }
    // Ours: opens an entry of a tab by its row's key, as that tab's double-click opens it (Find
    // Anywhere, and what the desktop's search hands over); false when the tab has no such entry.
    bool openEntry(Tab tab, const QString& key) { return m_router->openEntry(tab, key); }

    // Controls
    QToolBar* barMain = nullptr;
    TabStrip* TabMain = nullptr;
    std::array<QelListView*, kTabCount> lstQEL{};
    QPushButton* cmdBrowse = nullptr; // the "Open" tab's, under its list
    QLabel* lblOpenHint = nullptr;
    QLabel* picShortCuts = nullptr;
    QLineEdit* txtFilter = nullptr; // narrows the lists as the user types
    QTimer* tmrFileUpdate = nullptr;
    QMenu *mnuFile = nullptr, *mnuEdit = nullptr, *mnuView = nullptr, *mnuHelp = nullptr;
    QAction *mnuExit = nullptr, *mnuCreate = nullptr, *mnuRename = nullptr, *mnuDelete = nullptr;
    QAction* mnuUndo = nullptr;         // ours, beside the Edit menu's own items
    QAction* mnuFindAnywhere = nullptr; // ours: one search over every tab
    QAction* mnuNewestFirst = nullptr;  // ours: the "Open" list by its dates, newest first
    QAction *mnuList = nullptr, *mnuIcon = nullptr;
    QAction *mnuHelpContents = nullptr, *mnuWeb = nullptr, *mnuAbout = nullptr;
    std::array<ImageList, 3> imgIcons;
    // A toolbar button by key; nullptr for an unknown key.
    QAction* button(const QString& key) const { return m_router->button(key); }

    // The controllers
    NewTab& newTab() const { return *m_new; }
    OpenTab& openTab() const { return *m_open; }
    ToolsTab& toolsTab() const { return *m_tools; }
    WebTab& webTab() const { return *m_web; }
    HelpCommands& helpCommands() const { return *m_helpCommands; }
    // The one way the window's commands start programs.
    Launching& launching() const { return *m_launching; }

    TabController& controller(int tab) const { return m_router->controller(tab); }
    // The context menu of tab `tab`'s list, on its selected entry or on its empty space.
    std::unique_ptr<QMenu> contextMenuFor(int tab, bool onEntry);

    const HubContext& hub() const { return m_hub; }
    bool exitConfirmed() const { return m_exitConfirmed; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override { m_listCommands->dragEnter(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { m_listCommands->dragMove(event); }
    void dropEvent(QDropEvent* event) override { m_listCommands->drop(event); }
    bool event(QEvent* event) override;

private:
    QWidget* buildTabs();
    // The "Open" tab's strip under its list: the hint and the Browse button.
    QWidget* buildBrowseStrip();
    void onCommitDataRequest(QSessionManager& manager);

    HubContext m_hub;
    std::unique_ptr<Launching> m_launching;
    std::unique_ptr<NewTab> m_new;
    std::unique_ptr<OpenTab> m_open;
    std::unique_ptr<ToolsTab> m_tools;
    std::unique_ptr<WebTab> m_web;
    std::unique_ptr<HelpCommands> m_helpCommands;
    std::unique_ptr<CommandRouter> m_router;
    std::unique_ptr<ListCommands> m_listCommands;
    std::unique_ptr<WindowState> m_windowState;
    bool m_exitConfirmed = false;
};
