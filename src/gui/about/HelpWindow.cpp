#include "about/HelpWindow.h"

#include "base/Program.h"
#include "ui/Accessibility.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

static void initHelpResources()
{
    Q_INIT_RESOURCE(keldara_help);
}

void ensureHelpResources()
{
    static const bool ready = (initHelpResources(), true);
    Q_UNUSED(ready);
}

namespace {
// One look for every page, so the pages themselves hold only their text.
const char* const kPageStyle = R"(
body { margin: 4px; }
h1 { font-size: x-large; color: #2b3822; margin-bottom: 8px; }
h2 { font-size: large; color: #2b3822; margin-top: 16px; }
p, li { margin-top: 3px; margin-bottom: 3px; }
code { font-family: monospace; }
.msg { font-weight: bold; margin-top: 12px; }
td, th { padding: 3px 8px 3px 0px; vertical-align: top; }
th { text-align: left; }
.nav { color: #555555; }
)";

bool isWebPage(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}
} // namespace

QUrl HelpWindow::contentsUrl()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

HelpWindow::HelpWindow(LinkHandler openWebPage)
    : QWidget(nullptr, Qt::Window)
    , m_openWebPage(std::move(openWebPage))
{
    ensureHelpResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    setWindowTitle(kProgramTitle + QStringLiteral(" Help"));
    resize(760, 580);

    browser = new QTextBrowser;
    browser->setObjectName(QStringLiteral("browser"));
    browser->setAccessibleName(QStringLiteral("Help page"));
    browser->setOpenLinks(false); // every link goes through followLink
    browser->document()->setDefaultStyleSheet(QString::fromUtf8(kPageStyle));
    browser->setSearchPaths({QStringLiteral(":/help")});
    connect(browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);

    barHelp = new QToolBar;
    barHelp->setObjectName(QStringLiteral("barHelp"));
    barHelp->setAccessibleName(QStringLiteral("Help toolbar"));
    barHelp->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    barHelp->setMovable(false);
    nameOverflowButton(barHelp);
    actBack = barHelp->addAction(style()->standardIcon(QStyle::SP_ArrowBack),
                                 QStringLiteral("Back"), browser, &QTextBrowser::backward);
    actBack->setObjectName(QStringLiteral("actBack"));
    actBack->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    actForward = barHelp->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                    QStringLiteral("Forward"), browser, &QTextBrowser::forward);
    actForward->setObjectName(QStringLiteral("actForward"));
    actForward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    actHome = barHelp->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon),
                                 QStringLiteral("Contents"), this, &HelpWindow::showContents);
    actHome->setObjectName(QStringLiteral("actHome"));
    actHome->setToolTip(QStringLiteral("Home: the contents page"));
    actHome->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    actBack->setEnabled(false);
    actForward->setEnabled(false);
    connect(browser, &QTextBrowser::backwardAvailable, actBack, &QAction::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, actForward, &QAction::setEnabled);
    connect(browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString page = browser->documentTitle();
        setWindowTitle(page.isEmpty() ? kProgramTitle + QStringLiteral(" Help")
                                      : page + QStringLiteral(" - ") + kProgramTitle +
                                            QStringLiteral(" Help"));
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(barHelp);
    layout->addWidget(browser, 1);

    showContents();
}

void HelpWindow::showContents()
{
    browser->setSource(contentsUrl());
}

void HelpWindow::followLink(const QUrl& link)
{
    if (isWebPage(link)) {
        if (m_openWebPage)
            m_openWebPage(link.toString());
        return;
    }
    const QUrl target = browser->source().resolved(link);
    // Only the help's own pages are shown here; anything else (a file, mail) is not followed.
    if (target.scheme() != QLatin1String("qrc"))
        return;
    browser->setSource(target);
}
