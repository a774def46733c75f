// The main window's menu bar: its menus, their items and what each item sends.
#include "mainwindow/MainMenus.h"

#include "mainwindow/CommandRouter.h"
#include "mainwindow/frmQEL.h"
#include "tabs/open/OpenList.h"
#include "tabs/open/OpenTab.h"
#include "ui/TabStrip.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void buildMainMenus(frmQEL& w, CommandRouter& router)
{
    w.menuBar()->setNativeMenuBar(false);
    w.menuBar()->setAccessibleName(QStringLiteral("Main menu"));
    const auto item = [](QMenu* menu, QAction*& action, const char* name, const char* caption) {
        action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setIconVisibleInMenu(false);
    };
    // An open menu is read out by its title, as the menu bar shows it.
    const auto menu = [&w](const char* title) {
        QMenu* m = w.menuBar()->addMenu(QString::fromLatin1(title));
        m->setAccessibleName(m->title());
        return m;
    };
    w.mnuFile = menu("File");
    w.mnuFile->setObjectName(QStringLiteral("mnuFile"));
    item(w.mnuFile, w.mnuExit, "mnuExit", "Exit");

    w.mnuEdit = menu("Edit");
    w.mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    item(w.mnuEdit, w.mnuUndo, "mnuUndo", "Undo");
    w.mnuUndo->setEnabled(false);
    w.mnuEdit->addSeparator();
    item(w.mnuEdit, w.mnuCreate, "mnuCreate", "Create");
    item(w.mnuEdit, w.mnuRename, "mnuRename", "Rename");
    item(w.mnuEdit, w.mnuDelete, "mnuDelete", "Delete File");
    router.buildAddedCommands();
    w.mnuEdit->addSeparator();
    item(w.mnuEdit, w.mnuFindAnywhere, "mnuFindAnywhere", "Find Anywhere...");
    // Ctrl+K is the filter box's own line editing.
    w.mnuFindAnywhere->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));

    w.mnuView = menu("View");
    w.mnuView->setObjectName(QStringLiteral("mnuView"));
    item(w.mnuView, w.mnuList, "mnuList", "List View");
    item(w.mnuView, w.mnuIcon, "mnuIcon", "Icon View");
    w.mnuView->addSeparator();
    item(w.mnuView, w.mnuNewestFirst, "mnuNewestFirst", "Newest First");
    w.mnuList->setCheckable(true);
    w.mnuIcon->setCheckable(true);

    w.mnuHelp = menu("Help");
    w.mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    item(w.mnuHelp, w.mnuHelpContents, "mnuHelpContents", "Help contents");
    item(w.mnuHelp, w.mnuWeb, "mnuWeb", "Web Based Support");
    item(w.mnuHelp, w.mnuAbout, "mnuAbout", "About");

    w.mnuHelpContents->setShortcut(QKeySequence(Qt::Key_F1));

    QObject::connect(w.mnuExit, &QAction::triggered, &w, &frmQEL::mnuExit_Click);
    QObject::connect(w.mnuCreate, &QAction::triggered, &w, &frmQEL::mnuCreate_Click);
    QObject::connect(w.mnuRename, &QAction::triggered, &w, &frmQEL::mnuRename_Click);
    QObject::connect(w.mnuDelete, &QAction::triggered, &w, &frmQEL::mnuDelete_Click);
    QObject::connect(w.mnuUndo, &QAction::triggered, &w, &frmQEL::mnuUndo_Click);
    QObject::connect(w.mnuFindAnywhere, &QAction::triggered, &w,
                     [r = &router] { r->findAnywhere(); });
    QObject::connect(w.mnuWeb, &QAction::triggered, &w, &frmQEL::mnuWeb_Click);
    QObject::connect(w.mnuHelpContents, &QAction::triggered, &w, &frmQEL::mnuHelpContents_Click);
    QObject::connect(w.mnuAbout, &QAction::triggered, &w, &frmQEL::mnuAbout_Click);
    // The check mark is the handler's to set, not the click's.
    QObject::connect(w.mnuList, &QAction::triggered, &w, [&w] { w.mnuList_Click(); });
    QObject::connect(w.mnuNewestFirst, &QAction::triggered, &w, [&w] {
        if (w.TabMain && w.TabMain->currentCaption() == tabCaption(Tab::Open))
            w.openTab().openList().showNewestFirst();
    });
    QObject::connect(w.mnuIcon, &QAction::triggered, &w, [&w] { w.mnuIcon_Click(); });
}
