#include "platform/linux/XdgMachineRegistry.h"

#ifndef Q_OS_WIN

#include <QFile>
#include <QStandardPaths>

namespace {

// An administrator's small text file; anything bigger is not one.
constexpr qint64 kMaxFileSize = 1 << 20;

// Registry paths are written with backslashes; a slash is accepted as well.
QString normalKeyPath(QString path)
{
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return path.trimmed();
}

// The text of `valueName` in section `keyPath` of one file; nullopt when it is not there.
std::optional<QString> valueInFile(const QString& fileName, const QString& keyPath,
                                   const QString& valueName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    const QString wantedSection = normalKeyPath(keyPath);
    bool inSection = false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString section = normalKeyPath(line.mid(1, line.size() - 2));
            inSection = section.compare(wantedSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inSection || eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(valueName, Qt::CaseInsensitive) != 0)
            continue;
        QString text = line.mid(eq + 1).trimmed();
        // A value may be quoted to keep blanks at its ends.
        if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) &&
            text.endsWith(QLatin1Char('"')))
            text = text.mid(1, text.size() - 2);
        return text;
    }
    return std::nullopt;
}

} // namespace

XdgMachineRegistry::XdgMachineRegistry()
    : XdgMachineRegistry(configFoldersFromEnvironment(), {})
{}

XdgMachineRegistry::XdgMachineRegistry(QStringList configFolders, QStringList programFolders)
    : m_configFolders(std::move(configFolders))
    , m_programFolders(std::move(programFolders))
{}

QStringList XdgMachineRegistry::configFoldersFromEnvironment()
{
    const QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    QStringList folders = dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (folders.isEmpty())
        folders.append(QStringLiteral("/etc/xdg"));
    return folders;
}

std::optional<RegistryValue> XdgMachineRegistry::read(quint32 root, const QString& keyPath,
                                                      const QString& valueName)
{
    if (root != kHKeyLocalMachine)
        return std::nullopt;
    for (const QString& folder : m_configFolders) {
        const auto text =
            valueInFile(folder + QStringLiteral("/Keldara/machine.conf"), keyPath, valueName);
        if (!text)
            continue;
        if (text->size() > kRegistryValueChars)
            return std::nullopt;
        return RegistryValue{kRegSz, text->toUtf8()};
    }
    return std::nullopt;
}

QString XdgMachineRegistry::desktopSystemInfoProgram()
{
    // The desktops' own system-information programs, the most complete first.
    static const char* const kPrograms[] = {"kinfocenter",         "hardinfo2",   "hardinfo",
                                            "mate-system-monitor", "xfce4-about", "cpu-x"};
    for (const char* name : kPrograms) {
        const QString found =
            QStandardPaths::findExecutable(QString::fromLatin1(name), m_programFolders);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

#endif
