#pragma once

#include "lists/FileStamp.h"
#include "lists/RecentFileList.h"
#include "mainwindow/ImageList.h"
#include "platform/PlatformServices.h"

#include <QHash>
#include <QMainWindow>
#include <QTabWidget>

#include <array>

class QAction;
class QActionGroup;
class QLabel;
class QPushButton;
class QSessionManager;
class QTimer;
class QToolBar;
class QelListView;

// The tab strip: four tabs whose index is the current-tab property.
class TabStrip : public QTabWidget {
    Q_OBJECT
public:
    using QTabWidget::QTabWidget;
    int CurrTab() const { return currentIndex(); }
    void setCurrTab(int index) { setCurrentIndex(index); }
};

// The main window: toolbar, four tabs over four lists, menus, the Browse button of the "Open"
// page and the refresh timer.
class frmQEL : public QMainWindow {
    Q_OBJECT
public:
    explicit frmQEL(const PlatformServices& services, QWidget* parent = nullptr);
    ~frmQEL() override;

    // Start-up preparation, before any list is filled.
    void InitMainWindow();
    void LoadNewList();

    // Handlers
    void Form_Load();
    void Form_Activate();
    // Asks the exit question; returns true to keep the window open.
    bool Form_QueryUnload();
    void mnuExit_Click();
    void mnuIcon_Click();
    void mnuList_Click();
    void barMain_ButtonClick(const QString& key);
    void lstQEL_ColumnClick(int index, int column);

    // The recent-file list and the "Open" tab. Operations that can fail return the failure to
    // their caller; those the user starts report it themselves.
    FileResult LoadOpenList();
    void tmrFileUpdate_Timer();
    void TouchFileEntry(const QString& path, const QString& kindCode);
    FileResult SyncDataFolderEntries();
    FileResult ScanDataFolder();
    FileResult DeleteFileEntry(const QString& fullPath,
                               RecentFileList::DataFile dataFile = RecentFileList::DataFile::Keep);
    // Renames the file of the selected "Open" entry; `newName` comes back as the final name.
    void RenameFileEntry(QString& newName);
    RecentFileList& recentFiles() { return m_recentFiles; }

    // Opening entries and starting the companion tools.
    void lstQEL_DblClick(int index);
    void cmdBrowse_Click();
    // Returns 0 with the chosen path in `fileName`, or 32755 when the user cancelled.
    int ShowOpenDataFileDialog(QString& fileName);
    void LaunchCommand(const QString& program, const QString& argumentText);
    // The list file as the refresh timer last saw it.
    FileStamp LastListFileTime;

    // Controls, under the names the rest of the program uses.
    QToolBar* barMain = nullptr;
    TabStrip* TabMain = nullptr;
    std::array<QelListView*, 4> lstQEL{};
    QPushButton* cmdBrowse = nullptr;
    QString cmdBrowseTag;
    QLabel* lblOpenHint = nullptr;
    QLabel* picShortCuts = nullptr;
    QTimer* tmrFileUpdate = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuCreate = nullptr;
    QAction* mnuRename = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuList = nullptr;
    QAction* mnuIcon = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuWeb = nullptr;
    QAction* mnuAbout = nullptr;

    std::array<ImageList, 3> imgIcons;
    std::array<ImageList, 2> imgShortCut;

    // A toolbar button by key; nullptr for an unknown key.
    QAction* button(const QString& key) const { return m_buttons.value(key); }
    QStringList buttonKeys() const { return m_buttonOrder; }

    const PlatformServices& services() const { return m_services; }
    // True once the user agreed to exit.
    bool exitConfirmed() const { return m_exitConfirmed; }
    const QString& appFolder() const { return m_services.appFolder; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    QWidget* buildTabs();
    QWidget* buildOpenPage();
    void showViewMode(bool iconView);
    void onCommitDataRequest(QSessionManager& manager);

    void reportSaveFailure(const FileResult& failure);

    PlatformServices m_services;
    RecentFileList m_recentFiles;
    QHash<QString, QAction*> m_buttons;
    QStringList m_buttonOrder;
    QActionGroup* m_viewButtons = nullptr;
    bool m_exitConfirmed = false;
    bool m_launchReady = true; // false while a double-click's launch is being prepared
};
