#include "about/SystemInfo.h"
#include "base/Paths.h"
#include "support/FakeMachineRegistry.h"
#include "support/Fakes.h"
#include "support/TempAppFolder.h"
#include "ui/HubContext.h"

#include <gtest/gtest.h>

namespace {

const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

struct SysInfoFixture : ::testing::Test {
    TempAppFolder tools; // stands for the folder the registry names
    FakeMachineRegistry registry;
    FakePrompter prompter;
    FakeLauncher launcher;
    PlatformServices services;
    SysInfoFixture()
    {
        services.prompter = &prompter;
        services.launcher = &launcher;
        services.registry = &registry;
    }
    // What StartSysInfo started, or the message it showed instead.
    QString outcome()
    {
        StartSysInfo(HubContext(services));
        if (!prompter.messages.isEmpty()) {
            EXPECT_TRUE(launcher.starts.isEmpty() || !launcher.result.ok);
            const FakePrompter::Message& m = prompter.messages.last();
            EXPECT_EQ(m.title, QStringLiteral("Keldara"));
            EXPECT_EQ(m.icon, MsgIcon::None);
            EXPECT_EQ(m.buttons, MsgButtons::Ok);
            return m.text;
        }
        EXPECT_EQ(launcher.starts.size(), 1);
        return launcher.starts.isEmpty() ? QString() : launcher.starts[0].program;
    }
};

TEST_F(SysInfoFixture, TheFullPathComesFirstAndStartsWithNoArguments)
{
    registry.setText(kToolKey, QStringLiteral("PATH"), QStringLiteral("/opt/info/tool"));
    registry.setText(kFolderKey, QStringLiteral("MSINFO"), tools.path());
    tools.write(QStringLiteral("MSINFO32.EXE"), "MZ");
    registry.desktopProgram = QStringLiteral("/usr/bin/desktop-info");
    EXPECT_EQ(outcome(), QStringLiteral("/opt/info/tool"));
    EXPECT_EQ(launcher.starts[0].arguments, QString());
    EXPECT_EQ(registry.asked, QStringList{kToolKey + QStringLiteral("\\PATH")});
}

TEST_F(SysInfoFixture, TheFolderValueNeedsTheProgramFileInItInAnyLetterCase)
{
    registry.setText(kFolderKey, QStringLiteral("MSINFO"), tools.path());
    registry.desktopProgram = QStringLiteral("/usr/bin/desktop-info");
    // Named but not there (a folder of that name is no program): the folder's value decides, the
    // desktop's program is not tried.
    tools.mkdir(QStringLiteral("MSINFO32.EXE"));
    EXPECT_EQ(outcome(), kUnavailable);
    EXPECT_TRUE(launcher.starts.isEmpty());

    prompter.messages.clear();
    QDir(tools.path()).rmdir(QStringLiteral("MSINFO32.EXE"));
    tools.write(QStringLiteral("MsInfo32.exe"), "MZ");
    EXPECT_EQ(outcome(), paths::join(tools.path(), QStringLiteral("MsInfo32.exe")));
}

TEST_F(SysInfoFixture, WithoutEitherValueTheDesktopProgramOrTheMessage)
{
    EXPECT_EQ(outcome(), kUnavailable);
    prompter.messages.clear();
    registry.desktopProgram = QStringLiteral("/usr/bin/desktop-info");
    EXPECT_EQ(outcome(), QStringLiteral("/usr/bin/desktop-info"));
}

TEST_F(SysInfoFixture, AFailedStartShowsTheMessage)
{
    registry.setText(kToolKey, QStringLiteral("PATH"), QStringLiteral("/opt/info/tool"));
    launcher.result = FileResult::failure(2, QStringLiteral("No such file or directory"));
    EXPECT_EQ(outcome(), kUnavailable);
    EXPECT_EQ(launcher.starts.size(), 1);
}

TEST_F(SysInfoFixture, AStoredTerminatingNulIsNotPartOfThePath)
{
    registry.set(kToolKey, QStringLiteral("PATH"), kRegSz, QByteArray("/opt/info/tool\0", 15));
    EXPECT_EQ(outcome(), QStringLiteral("/opt/info/tool"));
}

TEST(GetKeyValue, TextNumbersAndOtherTypes)
{
    struct Case {
        const char* what;
        int type;
        QByteArray data;
        QByteArray expected;
    };
    const Case cases[] = {
        {"plain text", kRegSz, "C:\\Tools", "C:\\Tools"},
        {"one stored NUL dropped", kRegSz, QByteArray("C:\\Tools\0", 9), "C:\\Tools"},
        {"only the last NUL", kRegSz, QByteArray("ab\0\0", 4), QByteArray("ab\0", 3)},
        {"empty text", kRegSz, QByteArray(), QByteArray()},
        {"UTF-8 text", kRegSz, "D:\\V\xc3\xa4rk", "D:\\V\xc3\xa4rk"},
        {"number", kRegDword, QByteArray("\x2a\x01\x00\x00", 4), "298"},
        {"bytes with high bits", kRegDword, QByteArray("\x80\x96\x98\x00", 4), "10000000"},
        {"unsigned", kRegDword, QByteArray("\xff\xff\xff\xff", 4), "4294967295"},
        {"short number", kRegDword, QByteArray("\x05", 1), "5"},
        {"other type keeps the old text", 3, QByteArray("\x01\x02", 2), "before"},
    };
    for (const Case& c : cases) {
        FakeMachineRegistry registry;
        registry.set(QStringLiteral("K"), QStringLiteral("V"), c.type, c.data);
        QString value = QStringLiteral("before");
        EXPECT_TRUE(GetKeyValue(registry, kHKeyLocalMachine, QStringLiteral("K"),
                                QStringLiteral("V"), value))
            << c.what;
        EXPECT_EQ(value, QString::fromUtf8(c.expected)) << c.what;
    }
    FakeMachineRegistry empty;
    QString value = QStringLiteral("before");
    EXPECT_FALSE(
        GetKeyValue(empty, kHKeyLocalMachine, QStringLiteral("K"), QStringLiteral("V"), value));
    EXPECT_TRUE(value.isEmpty());
}

} // namespace
