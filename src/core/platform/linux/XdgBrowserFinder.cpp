#include "platform/linux/XdgBrowserFinder.h"

#ifndef Q_OS_WIN

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/Spawn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <utility>

namespace {

const QString kDefaults = QStringLiteral("Default Applications");
const QString kAdded = QStringLiteral("Added Associations");
const QString kRemoved = QStringLiteral("Removed Associations");
const QString kCache = QStringLiteral("MIME Cache");

QString joinPath(const QString& folder, const QString& name)
{
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

// A $BROWSER entry as words, the way a shell would split it: blanks separate, '...' is literal,
// "..." keeps blanks and takes \" \\ \$ \` as the character, a backslash outside quotes takes the
// next character. nullopt for an open quote.
std::optional<QStringList> splitShellWords(const QString& entry)
{
    QStringList words;
    QString current;
    bool inWord = false;
    for (qsizetype i = 0; i < entry.size(); ++i) {
        const QChar c = entry[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord)
                words.append(std::exchange(current, QString()));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('\\') && i + 1 < entry.size()) {
            current += entry[++i];
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            bool closed = false;
            for (++i; i < entry.size(); ++i) {
                if (entry[i] == c) {
                    closed = true;
                    break;
                }
                if (c == QLatin1Char('"') && entry[i] == QLatin1Char('\\') &&
                    i + 1 < entry.size() && QStringLiteral("\"\\$`").contains(entry[i + 1]))
                    ++i;
                current += entry[i];
            }
            if (!closed)
                return std::nullopt;
        } else {
            current += c;
        }
    }
    if (inWord)
        words.append(current);
    return words;
}

// "%s" becomes the URL and "%%" a percent sign, in one pass so that the URL is never rescanned.
QString substituteUrl(const QString& word, const QString& url, bool* placed)
{
    QString out;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] == QLatin1Char('%') && i + 1 < word.size()) {
            if (word[i + 1] == QLatin1Char('s')) {
                out += url;
                *placed = true;
                ++i;
                continue;
            }
            if (word[i + 1] == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
        }
        out += word[i];
    }
    return out;
}

// A desktop-file ID names a file below an applications folder; nothing else may be reached by one.
bool isValidDesktopId(const QString& id)
{
    return id.endsWith(QLatin1String(".desktop")) && !id.contains(QLatin1Char('/')) &&
           !id.startsWith(QLatin1Char('.'));
}

// The file for `id` below `folder`: "foo-bar.desktop" may be foo-bar.desktop or foo/bar.desktop
// (each "-" may stand for a subfolder).
QString resolveDesktopId(const QString& folder, const QString& id)
{
    const QString direct = joinPath(folder, id);
    if (QFileInfo(direct).isFile())
        return direct;
    for (qsizetype dash = id.indexOf(QLatin1Char('-')); dash > 0;
         dash = id.indexOf(QLatin1Char('-'), dash + 1)) {
        const QString sub = joinPath(folder, id.left(dash));
        if (QFileInfo(sub).isDir()) {
            const QString found = resolveDesktopId(sub, id.mid(dash + 1));
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

XdgBrowserFinder::XdgBrowserFinder(QProcessEnvironment environment)
    : m_env(std::move(environment))
{}

QString XdgBrowserFinder::variable(const char* name) const
{
    return m_env.value(QLatin1String(name));
}

QString XdgBrowserFinder::folder(const char* name, const QString& underHome) const
{
    const QString set = variable(name);
    if (QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    const QString home = variable("HOME");
    return QDir::isAbsolutePath(home) ? joinPath(home, underHome) : QString();
}

QStringList XdgBrowserFinder::folderList(const char* name, const QStringList& defaults) const
{
    QStringList out;
    // Relative entries are not valid in these lists and are left out.
    for (const QString& f : variable(name).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(f))
            out.append(QDir::cleanPath(f));
    }
    return out.isEmpty() ? defaults : out;
}

QList<XdgBrowserFinder::MimeAppsList> XdgBrowserFinder::mimeAppsLists() const
{
    QStringList desktops;
    for (const QString& d : variable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'))) {
        const QString name = d.trimmed().toLower();
        if (!name.isEmpty() && !name.contains(QLatin1Char('/')) && !desktops.contains(name))
            desktops.append(name);
    }
    QStringList folders;
    folders << folder("XDG_CONFIG_HOME", QStringLiteral(".config"))
            << folderList("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    for (const QString& apps : applicationFolders())
        folders << apps;
    QList<MimeAppsList> lists;
    for (const QString& f : std::as_const(folders)) {
        if (f.isEmpty())
            continue;
        for (const QString& d : std::as_const(desktops))
            lists.append({joinPath(f, d + QLatin1String("-mimeapps.list")), true});
        lists.append({joinPath(f, QStringLiteral("mimeapps.list")), false});
    }
    return lists;
}

QStringList XdgBrowserFinder::applicationFolders() const
{
    QStringList out;
    const QString home = folder("XDG_DATA_HOME", QStringLiteral(".local/share"));
    if (!home.isEmpty())
        out.append(joinPath(home, QStringLiteral("applications")));
    for (const QString& d : folderList(
             "XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")}))
        out.append(joinPath(d, QStringLiteral("applications")));
    return out;
}

QString XdgBrowserFinder::findProgram(const QString& name) const
{
    auto executable = [](const QString& path) {
        const QFileInfo info(path);
        return info.isFile() && info.isExecutable() ? QDir::cleanPath(info.absoluteFilePath())
                                                    : QString();
    };
    if (name.isEmpty())
        return {};
    if (name.contains(QLatin1Char('/')))
        return QDir::isAbsolutePath(name) ? executable(name) : QString();
    // Without PATH, the search list the C library's exec functions use.
    const QString path =
        m_env.contains(QStringLiteral("PATH")) ? variable("PATH") : QStringLiteral("/bin:/usr/bin");
    for (const QString& dir : path.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QDir::isAbsolutePath(dir))
            continue; // a relative entry would depend on our working folder
        const QString found = executable(joinPath(dir, name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

std::optional<ProgramCommand> XdgBrowserFinder::findBrowser(const QString& url)
{
    if (auto command = fromBrowserVariable(url))
        return command;
    const QStringList types{QStringLiteral("x-scheme-handler/https"),
                            QStringLiteral("x-scheme-handler/http"), QStringLiteral("text/html")};
    if (auto command = fromMimeApps(types, url, true))
        return command;
    const QString alternative = findProgram(QStringLiteral("x-www-browser"));
    if (!alternative.isEmpty())
        return ProgramCommand{alternative, {url}};
    return std::nullopt;
}

std::optional<ProgramCommand> XdgBrowserFinder::findFileManager(const QString& folderPath)
{
    return fromMimeApps({QStringLiteral("inode/directory")}, folderPath, false);
}

FileResult XdgBrowserFinder::start(const ProgramCommand& command)
{
    QList<QByteArray> argv{QFile::encodeName(command.program)};
    for (const QString& a : command.arguments)
        argv.append(a.toLocal8Bit());
    return spawnDetached(argv);
}

std::optional<ProgramCommand> XdgBrowserFinder::fromBrowserVariable(const QString& url) const
{
    for (const QString& entry : variable("BROWSER").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const std::optional<QStringList> words = splitShellWords(entry);
        if (!words || words->isEmpty())
            continue;
        const QString program = findProgram(words->first());
        if (program.isEmpty())
            continue; // not installed: the next entry may be
        bool placed = false;
        QStringList arguments;
        for (qsizetype i = 1; i < words->size(); ++i)
            arguments.append(substituteUrl(words->at(i), url, &placed));
        if (!placed)
            arguments.append(url);
        return ProgramCommand{program, arguments};
    }
    return std::nullopt;
}

std::optional<ProgramCommand> XdgBrowserFinder::fromMimeApps(const QStringList& types,
                                                             const QString& target,
                                                             bool targetIsUrl) const
{
    QList<std::pair<MimeAppsList, xdg::KeyFile>> lists;
    for (const MimeAppsList& f : mimeAppsLists()) {
        if (auto file = xdg::KeyFile::load(f.path))
            lists.append({f, std::move(*file)});
    }
    QHash<QString, std::optional<ProgramCommand>> tried;
    auto attempt = [&](const QString& id) {
        auto it = tried.find(id);
        if (it == tried.end())
            it = tried.insert(id, fromDesktopId(id, target, targetIsUrl));
        return *it;
    };
    auto entries = [](const xdg::KeyFile& file, const QString& group, const QString& type) {
        return xdg::splitListValue(file.value(group, type, Qt::CaseInsensitive));
    };

    // A default chosen in any list beats every mere association: the user's lists come first,
    // and within a list https before http before HTML.
    for (const auto& [list, file] : std::as_const(lists)) {
        for (const QString& type : types) {
            for (const QString& id : entries(file, kDefaults, type)) {
                if (auto command = attempt(id))
                    return command;
            }
        }
    }
    // Then the associations the lists add, each list's removals hiding the additions and the
    // installed applications' claims of the lists after it. Desktop-specific lists hold defaults
    // only.
    QHash<QString, QSet<QString>> removed;
    for (const auto& [list, file] : std::as_const(lists)) {
        if (list.desktopSpecific)
            continue;
        for (const QString& type : types) {
            for (const QString& id : entries(file, kAdded, type)) {
                if (removed[type].contains(id))
                    continue;
                if (auto command = attempt(id))
                    return command;
            }
        }
        for (const QString& type : types) {
            for (const QString& id : entries(file, kRemoved, type))
                removed[type].insert(id);
        }
    }
    // Last, what the installed applications say they handle.
    for (const QString& apps : applicationFolders()) {
        const auto cache = xdg::KeyFile::load(joinPath(apps, QStringLiteral("mimeinfo.cache")));
        if (!cache)
            continue;
        for (const QString& type : types) {
            for (const QString& id : entries(*cache, kCache, type)) {
                if (removed[type].contains(id))
                    continue;
                if (auto command = attempt(id))
                    return command;
            }
        }
    }
    return std::nullopt;
}

QString XdgBrowserFinder::findDesktopFile(const QString& id) const
{
    if (!isValidDesktopId(id))
        return {};
    // The first folder that has the ID decides, even for an entry that turns out unusable: a
    // user's hidden copy masks the system's.
    for (const QString& apps : applicationFolders()) {
        const QString found = resolveDesktopId(apps, id);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

std::optional<ProgramCommand>
XdgBrowserFinder::fromDesktopId(const QString& id, const QString& target, bool targetIsUrl) const
{
    const QString path = findDesktopFile(id);
    if (path.isEmpty())
        return std::nullopt;
    QString locale = variable("LC_ALL");
    if (locale.isEmpty())
        locale = variable("LC_MESSAGES");
    if (locale.isEmpty())
        locale = variable("LANG");
    const std::optional<xdg::DesktopEntry> entry = xdg::loadDesktopEntry(path, locale);
    // A program that needs a terminal has none when started from here: it would run unseen.
    if (!entry || entry->type != QLatin1String("Application") || entry->hidden || entry->terminal)
        return std::nullopt;
    if (!entry->tryExec.isEmpty() && findProgram(entry->tryExec).isEmpty())
        return std::nullopt;
    const std::optional<QStringList> args =
        xdg::expandExec(entry->exec, {target, targetIsUrl, entry->icon, entry->name, path});
    if (!args)
        return std::nullopt;
    const QString program = findProgram(args->first());
    if (program.isEmpty())
        return std::nullopt;
    return ProgramCommand{program, args->mid(1)};
}

#endif
