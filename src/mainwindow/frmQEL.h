#pragma once

#include "base/Program.h"
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

// The main window: it owns the controls and one controller per tab, and routes every command to
// the controller of the tab it concerns.
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
    void restoreWindowState();
    void saveWindowState();

    // Handlers
    void Form_Load();
    void Form_Activate();
    bool Form_QueryUnload(); // asks the exit question; true keeps the window open
    void mnuExit_Click();
    void mnuCreate_Click();
    void mnuRename_Click();
    void mnuDelete_Click();
    // Edit > Undo: takes back the current tab's last Delete or Rename.
    void mnuUndo_Click();
    void mnuWeb_Click();
    void mnuIcon_Click();
    void mnuList_Click();
    void mnuHelpContents_Click();
    void mnuAbout_Click();
    void barMain_ButtonClick(const QString& key);
    void TabMain_Switch(int oldTab, int newTab);
    void lstQEL_ColumnClick(int index, int column);
    void lstQEL_DblClick(int index);

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
    QAction* mnuUndo = nullptr;           // ours, beside the Edit menu's own items
    QAction* mnuCleanUpMissing = nullptr; // ours, below them: the "Open" tab's only
    QAction *mnuList = nullptr, *mnuIcon = nullptr;
    QAction *mnuHelpContents = nullptr, *mnuWeb = nullptr, *mnuAbout = nullptr;
    std::array<ImageList, 3> imgIcons;
    // A toolbar button by key; nullptr for an unknown key.
    QAction* button(const QString& key) const { return m_buttons.value(key); }

    // The controllers
    NewTab& newTab() const { return *m_new; }
    OpenTab& openTab() const { return *m_open; }
    ToolsTab& toolsTab() const { return *m_tools; }
    WebTab& webTab() const { return *m_web; }
    HelpCommands& helpCommands() const { return *m_helpCommands; }
    // The one way the window's commands start programs.
    Launching& launching() const { return *m_launching; }

    // The context menu of tab `tab`'s list, on its selected entry or on its empty space.
    std::unique_ptr<QMenu> contextMenuFor(int tab, bool onEntry);

    const HubContext& hub() const { return m_hub; }
    bool exitConfirmed() const { return m_exitConfirmed; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildLists();
    QWidget* buildTabs();
    void showViewMode(bool iconView);
    void onCommitDataRequest(QSessionManager& manager);
    QWidget* buildFilter();
    void buildKeyboard();
    void applyFilterText(const QString& text);
    // What a drop of `data` does: the current tab's action for it, else another tab's; nothing
    // when it is refused.
    std::function<void()> dropOf(const QMimeData* data) const;
    TabController& controller(int tab) const;
    // The controller of the tab with this caption; nullptr for none.
    TabController* controllerByCaption(const QString& caption) const;
    void applyCommandState(int tab);
    // Edit > Undo names the current tab's step, or reads "Undo" and is disabled.
    void updateUndo();

    HubContext m_hub;
    std::unique_ptr<Launching> m_launching;
    std::unique_ptr<NewTab> m_new;
    std::unique_ptr<OpenTab> m_open;
    std::unique_ptr<ToolsTab> m_tools;
    std::unique_ptr<WebTab> m_web;
    std::unique_ptr<HelpCommands> m_helpCommands;
    QHash<QString, QAction*> m_buttons;
    QActionGroup* m_viewButtons = nullptr;
    bool m_exitConfirmed = false;
    bool m_launchReady = true; // false while a double-click's launch is being prepared
};
