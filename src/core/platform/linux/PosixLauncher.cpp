#include "platform/linux/PosixLauncher.h"

#ifndef Q_OS_WIN

#include "base/Paths.h"
#include "platform/linux/Spawn.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString PosixLauncher::resolveProgram(const QString& program)
{
    if (QFileInfo::exists(program))
        return program;
    const QFileInfo info(program);
    const QString found = paths::findIgnoringCase(info.absolutePath(), info.fileName());
    return found.isEmpty() ? program : paths::join(info.absolutePath(), found);
}

bool PosixLauncher::isWindowsExecutable(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(2) == "MZ";
}

FileResult PosixLauncher::start(const QString& program, const QString& argumentText)
{
    const QString resolved = resolveProgram(program);
    QList<QByteArray> args;
    // A Windows program runs through wine when wine is there; without it the start fails with the
    // system's own reason (exec format error).
    const QString wine = isWindowsExecutable(resolved)
                             ? QStandardPaths::findExecutable(QStringLiteral("wine"))
                             : QString();
    if (!wine.isEmpty())
        args.append(paths::toNativeBytes(wine));
    args.append(paths::toNativeBytes(resolved));
    for (const QString& a : argumentText.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        args.append(paths::toNativeBytes(a));

    return spawnDetached(args);
}

#endif
