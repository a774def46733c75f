#include "platform/linux/XdgMachineRegistry.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#ifndef Q_OS_WIN
namespace {

QString textOf(const std::optional<RegistryValue>& v)
{
    return v && v->type == kRegSz ? QString::fromUtf8(v->data) : QStringLiteral("<none>");
}

TEST(XdgMachineRegistry, ValuesComeFromTheFirstFolderThatHoldsThem)
{
    TempAppFolder first, second;
    first.write(QStringLiteral("Keldara/machine.conf"),
                "; written by the administrator\n"
                "[SOFTWARE\\Microsoft\\Shared Tools Location]\n"
                "Other=x\n"
                "[SOFTWARE/Microsoft/Shared Tools/MSINFO]\n"
                "Path = /opt/info/tool \n");
    second.write(QStringLiteral("Keldara/machine.conf"),
                 "[software\\microsoft\\shared tools\\msinfo]\r\n"
                 "PATH=/second/tool\r\n"
                 "[SOFTWARE\\Microsoft\\Shared Tools Location]\r\n"
                 "MSINFO=\" /with blanks \"\r\n");
    TempAppFolder empty;
    XdgMachineRegistry registry({empty.path(), first.path(), second.path()}, {});

    const QString tool = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    const QString location = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
    EXPECT_EQ(textOf(registry.read(kHKeyLocalMachine, tool, QStringLiteral("PATH"))),
              QStringLiteral("/opt/info/tool"));
    EXPECT_EQ(textOf(registry.read(kHKeyLocalMachine, location, QStringLiteral("MSINFO"))),
              QStringLiteral(" /with blanks "));
    EXPECT_FALSE(registry.read(kHKeyLocalMachine, tool, QStringLiteral("Other")));
    EXPECT_FALSE(registry.read(0x80000001, tool, QStringLiteral("PATH")));
}

TEST(XdgMachineRegistry, TooLongAValueCannotBeRead)
{
    TempAppFolder folder;
    folder.write(QStringLiteral("Keldara/machine.conf"),
                 "[K]\nV=" + QByteArray(kRegistryValueChars + 1, 'a') + "\n");
    XdgMachineRegistry registry({folder.path()}, {});
    EXPECT_FALSE(registry.read(kHKeyLocalMachine, QStringLiteral("K"), QStringLiteral("V")));
}

TEST(XdgMachineRegistry, ConfigFoldersFromTheEnvironment)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", "/a::/b");
    EXPECT_EQ(XdgMachineRegistry::configFoldersFromEnvironment(),
              (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
    qputenv("XDG_CONFIG_DIRS", "");
    EXPECT_EQ(XdgMachineRegistry::configFoldersFromEnvironment(),
              QStringList{QStringLiteral("/etc/xdg")});
    qputenv("XDG_CONFIG_DIRS", saved);
}

TEST(XdgMachineRegistry, TheDesktopProgramIsAnInstalledOne)
{
    TempAppFolder bin;
    XdgMachineRegistry registry({}, {bin.path()});
    bin.write(QStringLiteral("hardinfo"), "#!/bin/sh\n"); // not executable: not installed
    EXPECT_EQ(registry.desktopSystemInfoProgram(), QString());
    QFile::setPermissions(bin.file(QStringLiteral("hardinfo")), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(registry.desktopSystemInfoProgram(), bin.file(QStringLiteral("hardinfo")));
}

} // namespace
#endif
