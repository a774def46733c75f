#include "about/HelpWindow.h"
#include "ui/Accessibility.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

namespace {

QString pageText(const QUrl& url)
{
    QFile f(QLatin1Char(':') + url.path());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The anchor names a page offers, as the text browser sees them.
QSet<QString> anchorsOf(const QString& html)
{
    QTextDocument doc;
    doc.setHtml(html);
    QSet<QString> names;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            for (const QString& n : it.fragment().charFormat().anchorNames())
                names.insert(n);
        }
    }
    return names;
}

QStringList linksOf(const QString& html)
{
    static const QRegularExpression href(QStringLiteral(R"re(href\s*=\s*"([^"]*)")re"));
    QStringList links;
    for (auto it = href.globalMatch(html); it.hasNext();)
        links.append(it.next().captured(1));
    return links;
}

// Every page has a title, every link inside the help reaches an existing page (and anchor), and
// every page can be reached from the contents page.
TEST(HelpPages, TitledLinkedAndAllReachableFromTheContents)
{
    ensureHelpResources();
    const QStringList files =
        QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files);
    ASSERT_GE(files.size(), 5);

    QSet<QString> reached{HelpWindow::contentsUrl().path()};
    QList<QUrl> toVisit{HelpWindow::contentsUrl()};
    while (!toVisit.isEmpty()) {
        const QUrl page = toVisit.takeFirst();
        const QString html = pageText(page);
        ASSERT_FALSE(html.isEmpty()) << page.toString().toStdString();
        QTextDocument doc;
        doc.setHtml(html);
        EXPECT_FALSE(doc.metaInformation(QTextDocument::DocumentTitle).trimmed().isEmpty())
            << page.toString().toStdString();
        for (const QString& link : linksOf(html)) {
            const QUrl target = page.resolved(QUrl(link));
            if (target.scheme() == QLatin1String("https") ||
                target.scheme() == QLatin1String("http"))
                continue;
            const std::string where =
                (page.fileName() + QStringLiteral(" -> ") + link).toStdString();
            ASSERT_EQ(target.scheme(), QStringLiteral("qrc")) << where;
            const QString targetHtml = pageText(target);
            ASSERT_FALSE(targetHtml.isEmpty()) << where;
            if (target.hasFragment()) {
                EXPECT_TRUE(anchorsOf(targetHtml).contains(target.fragment())) << where;
            }
            if (!reached.contains(target.path())) {
                reached.insert(target.path());
                toVisit.append(target.adjusted(QUrl::RemoveFragment));
            }
        }
    }
    for (const QString& f : files)
        EXPECT_TRUE(reached.contains(QStringLiteral("/help/") + f)) << f.toStdString();
}

TEST(HelpWindow, PagesLinksAndHistory)
{
    QStringList handedOver;
    HelpWindow help([&](const QString& url) { handedOver.append(url); });
    EXPECT_EQ(help.browser->source(), HelpWindow::contentsUrl());
    EXPECT_FALSE(help.windowTitle().isEmpty());
    EXPECT_FALSE(help.actBack->isEnabled());

    help.followLink(QUrl(QStringLiteral("messages.html#sysinfo")));
    EXPECT_EQ(help.browser->source().fileName(), QStringLiteral("messages.html"));
    EXPECT_TRUE(help.browser->toPlainText().contains(
        QStringLiteral("System Information Is Unavailable At This Time")));
    EXPECT_TRUE(help.actBack->isEnabled());

    // A web page goes to the browser; the help stays where it was.
    emit help.browser->anchorClicked(QUrl(QStringLiteral("https://example.org/a b")));
    EXPECT_EQ(handedOver, QStringList{QStringLiteral("https://example.org/a b")});
    EXPECT_EQ(help.browser->source().fileName(), QStringLiteral("messages.html"));
    // Nothing outside the help is shown in it.
    help.followLink(QUrl(QStringLiteral("file:///etc/passwd")));
    EXPECT_EQ(help.browser->source().fileName(), QStringLiteral("messages.html"));

    help.actBack->trigger();
    EXPECT_EQ(help.browser->source(), HelpWindow::contentsUrl());
    EXPECT_TRUE(help.actForward->isEnabled());
    help.actForward->trigger();
    help.actHome->trigger();
    EXPECT_EQ(help.browser->source(), HelpWindow::contentsUrl());
}

} // namespace

namespace {

// The end-to-end reader cannot close this window (it outlives the main window), so what a
// screen reader finds in it is checked here: a window, with every button of its toolbar named.
TEST(HelpWindow, ReadAsAWindowWithEveryButtonNamed)
{
    installAccessibility(); // as the main window does before any other window is made
    HelpWindow help{HelpWindow::LinkHandler()};
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&help)->role(), QAccessible::Window);
    const QList<QToolButton*> buttons = help.findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 4); // Back, Forward, Contents and the one for what does not fit
    for (QToolButton* b : buttons) {
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name).isEmpty())
            << b->objectName().toStdString();
    }
}

} // namespace
