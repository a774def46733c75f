// The suite's own shortcuts, which the users must keep: each of the protected names in both of
// its columns, whatever the letter case.
#include "formats/ShortcutHelper.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>

namespace {

struct Protected : ::testing::Test, FakeHub {};

TEST_F(Protected, EachNameIsRefusedForWhatItIsProtectedAgainst)
{
    const struct {
        const char* name;
        bool deletable, renamable;
    } table[] = {
        {"Model Library.lnk", false, false}, {"LogTallyPC.lnk", false, false},
        {"Plot Pictures.lnk", false, false}, {"Image Keeper.lnk", false, true},
        {"Sort Images.lnk", true, false},    {"Tabulate.lnk", true, false},
        {"Canopy Load.lnk", false, false},   {"Measure Swap.lnk", false, false},
    };
    const auto window = makeWindow();
    window->TabMain->setCurrTab(2);
    QelListView* list = window->lstQEL[2];
    for (const auto& row : table) {
        // Another letter case is the same name.
        const QString name = QString::fromLatin1(row.name).toLower();
        SCOPED_TRACE(name.toStdString());
        QString file = app.file(QStringLiteral("ShortCuts/") + name),
                target = QStringLiteral("/opt/tool"), working = QStringLiteral("/opt"),
                arguments = QStringLiteral(" "), icon = target;
        qint32 n1 = 0, n2 = 0;
        ASSERT_TRUE(
            ShortcutHelper().CreateShortcut(file, target, working, arguments, icon, n1, n2).ok);
        window->toolsTab().LoadShortcutList();
        ASSERT_TRUE(settle());
        for (QAction* command : {window->mnuRename, window->mnuDelete}) {
            const bool allowed = command == window->mnuRename ? row.renamable : row.deletable;
            prompter.messages.clear();
            prompter.inputs.clear();
            list->setSelectedKey(file);
            command->trigger(); // the input box is cancelled, the question answered No
            ASSERT_TRUE(settle());
            const QString refusal = command == window->mnuRename
                                        ? QStringLiteral("Sorry, you can't rename this shortcut")
                                        : QStringLiteral("Sorry, you can't delete this shortcut");
            const bool refused =
                !prompter.messages.isEmpty() && prompter.messages.first().text == refusal;
            const bool asked = !prompter.inputs.isEmpty() ||
                               (!prompter.messages.isEmpty() &&
                                prompter.messages.first().buttons == MsgButtons::YesNo);
            EXPECT_EQ(refused, !allowed) << command->objectName().toStdString();
            EXPECT_EQ(asked, allowed) << command->objectName().toStdString();
        }
        EXPECT_TRUE(QFile::exists(file));
        QFile::remove(file);
    }
}

} // namespace
