#include "mainwindow/frmQEL.h"

#include "about/HelpCommands.h"
#include "actions/Launching.h"
#include "actions/WebPages.h"
#include "base/Twips.h"
#include "mainwindow/CommandRouter.h"
#include "mainwindow/ListCommands.h"
#include "mainwindow/MainMenus.h"
#include "mainwindow/WindowState.h"
#include "platform/Prompter.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/Accessibility.h"
#include "ui/QelListView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSessionManager>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

// Sizes are specified in twips; 15 twips make one device-independent pixel.

frmQEL::frmQEL(const PlatformServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_hub(services)
    , m_launching(std::make_unique<Launching>(m_hub))
    , m_router(std::make_unique<CommandRouter>(*this))
    , m_listCommands(std::make_unique<ListCommands>(*this))
    , m_windowState(std::make_unique<WindowState>(*this, lstQEL, m_hub.services().settings))
{
    installAccessibility();
    setObjectName(QStringLiteral("frmQEL"));
    setWindowTitle(kProgramTitle);
    setWindowIcon(programIcon());
    setAcceptDrops(true);
    fillListIcons(imgIcons[0], imgIcons[1]);
    fillToolbarIcons(imgIcons[2]);

    buildMainMenus(*this, *m_router);

    auto* central = new QWidget;
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(px(90), px(90), px(90), px(90));
    outer->setSpacing(px(765) - px(90) - px(585));

    auto* toolbarStrip = new QWidget;
    toolbarStrip->setFixedHeight(px(585));
    auto* stripLayout = new QHBoxLayout(toolbarStrip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    barMain = m_router->buildToolbar();
    stripLayout->addWidget(barMain);
    stripLayout->addStretch(1);
    stripLayout->addWidget(m_listCommands->buildFilter());
    outer->addWidget(toolbarStrip);

    m_listCommands->buildLists();
    m_new = std::make_unique<NewTab>(m_hub, *lstQEL[0], imgIcons[0], imgIcons[1], *m_launching);
    m_open = std::make_unique<OpenTab>(m_hub, *lstQEL[1], imgIcons[0], imgIcons[1], *m_launching);
    m_tools = std::make_unique<ToolsTab>(m_hub, *lstQEL[2], *m_launching);
    m_web = std::make_unique<WebTab>(m_hub, *lstQEL[3], imgIcons[0], imgIcons[1]);
    m_launching->setAfterStart([this] { m_open->openList().LoadOpenList(); });
    for (int tab = 0; tab < kTabCount; ++tab)
        controller(tab).setUndoChanged([this] { m_router->updateUndo(); });

    auto* tabPanel = new QWidget;
    auto* panelLayout = new QVBoxLayout(tabPanel);
    panelLayout->setContentsMargins(px(90), px(90), px(90), px(90));
    panelLayout->addWidget(buildTabs());
    outer->addWidget(tabPanel, 1);
    setCentralWidget(central);
    m_listCommands->bindKeys();
    m_helpCommands = std::make_unique<HelpCommands>(m_hub, this);
    // Pages outside the help open in the user's browser, as every web address does.
    m_helpCommands->setOpenWebPage([this](const QString& url) { OpenWebPage(m_hub, this, url); });

    picShortCuts = new QLabel(this);
    picShortCuts->setObjectName(QStringLiteral("picShortCuts"));
    picShortCuts->hide();

    tmrFileUpdate = new QTimer(this);
    tmrFileUpdate->setObjectName(QStringLiteral("tmrFileUpdate"));
    tmrFileUpdate->setInterval(1000);
    connect(tmrFileUpdate, &QTimer::timeout, this,
            [this] { m_open->openList().tmrFileUpdate_Timer(); });

    // The client area below the menu bar starts at 8550 x 6105 twips.
    resize(px(8550), px(6105) + menuBar()->sizeHint().height());

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &frmQEL::onCommitDataRequest,
                Qt::DirectConnection);
    }
    Form_Load();
}

frmQEL::~frmQEL()
{
    // The controls outlive the classes their signals are forwarded to: nothing is forwarded
    // while they go.
    if (TabMain)
        TabMain->disconnect(this);
    for (QelListView* list : lstQEL) {
        if (list)
            list->disconnect(this);
    }
}

QWidget* frmQEL::buildTabs()
{
    TabMain = new TabStrip;
    TabMain->setObjectName(QStringLiteral("TabMain"));
    TabMain->setAccessibleName(QStringLiteral("Tabs"));
    for (int i = 0; i < kTabCount; ++i) {
        // Each page is its list, with whatever its tab shows under it.
        auto* page = new QWidget;
        auto* l = new QVBoxLayout(page);
        l->setContentsMargins(px(90), px(90), px(90), px(90));
        l->addWidget(lstQEL[size_t(i)], 1);
        if (Tab(i) == Tab::Open) {
            l->setSpacing(0);
            l->addWidget(buildBrowseStrip());
        }
        TabMain->addTab(page, tabCaption(Tab(i)));
    }
    // Switches count from here: adding the first tab is not the user's or the start's choice.
    connect(TabMain, &TabStrip::switched, this, &frmQEL::TabMain_Switch);
    return TabMain;
}

QWidget* frmQEL::buildBrowseStrip()
{
    auto* strip = new QWidget;
    strip->setFixedHeight(px(540));
    auto* s = new QHBoxLayout(strip);
    s->setContentsMargins(0, 0, 0, 0);
    lblOpenHint = new QLabel(QStringLiteral("To open a file, double click the file's icon"));
    lblOpenHint->setObjectName(QStringLiteral("lblOpenHint"));
    cmdBrowse = new QPushButton(QStringLiteral("Browse ..."));
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setAccessibleName(QStringLiteral("Browse ..."));
    cmdBrowse->setFixedSize(px(1365), px(360));
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { m_open->cmdBrowse_Click(); });
    s->addWidget(lblOpenHint);
    s->addStretch(1);
    s->addWidget(cmdBrowse);
    return strip;
}

void frmQEL::Form_Load()
{
    barMain->update();
}

void frmQEL::Form_Activate()
{
    setWindowTitle(kProgramTitle);
}

bool frmQEL::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(e);
}

bool frmQEL::Form_QueryUnload()
{
    const MsgAnswer answer = m_hub.prompter().message(QStringLiteral("Exit Keldara?"), QString(),
                                                      MsgButtons::YesNo, MsgIcon::Question);
    return answer != MsgAnswer::Yes;
}

void frmQEL::closeEvent(QCloseEvent* e)
{
    if (!m_exitConfirmed && Form_QueryUnload()) {
        e->ignore();
        return;
    }
    m_exitConfirmed = true;
    tmrFileUpdate->stop();
    saveWindowState();
    e->accept();
}

void frmQEL::onCommitDataRequest(QSessionManager& manager)
{
    // At the end of the session the same question is asked, when the session lets us ask.
    if (m_exitConfirmed || !isVisible())
        return;
    if (manager.allowsInteraction()) {
        const bool keepOpen = Form_QueryUnload();
        manager.release();
        if (keepOpen) {
            manager.cancel();
            return;
        }
    }
    m_exitConfirmed = true;
    saveWindowState(); // the session may end without closing the window first
}

void frmQEL::mnuExit_Click()
{
    close();
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
    OpenWebPage(m_hub, this, supportPageUrl());
}

std::unique_ptr<QMenu> frmQEL::contextMenuFor(int tab, bool onEntry)
{
    return m_listCommands->contextMenuFor(tab, onEntry);
}
