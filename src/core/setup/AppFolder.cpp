#include "setup/AppFolder.h"

#include "base/FileResult.h"
#include "base/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#endif

#ifndef Q_OS_WIN
namespace {

QByteArray native(const QString& path)
{
    return paths::toNativeBytes(path);
}

QString problemAt(const QString& folder, const FileResult& why)
{
    return why.message(QStringLiteral("Keldara can't keep your lists in ") + folder);
}

// The data home's own rules: a folder that is missing is made readable by its user alone, and
// so are its missing parents. An existing folder must be the user's; one that others can read is
// made the user's alone, because it holds the user's lists.
QString makeOwnFolder(const QString& folder)
{
    QString path;
    for (const QString& part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        if (::mkdir(native(path).constData(), 0700) != 0 && errno != EEXIST)
            return problemAt(folder, FileResult::fromErrno(errno));
    }
    struct stat st {};
    if (::stat(native(folder).constData(), &st) != 0)
        return problemAt(folder, FileResult::fromErrno(errno));
    if (!S_ISDIR(st.st_mode))
        return problemAt(folder, FileResult::fromErrno(ENOTDIR));
    if (st.st_uid != ::geteuid())
        return problemAt(folder, FileResult::refused(QStringLiteral("The folder is not yours.")));
    if ((st.st_mode & 077) != 0 && ::chmod(native(folder).constData(), 0700) != 0)
        return problemAt(folder, FileResult::fromErrno(errno));
    return {};
}

// The target of the link at `path`; empty when it is no link.
QString linkTarget(const QString& path)
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(native(path).constData(), buffer, sizeof buffer);
    return n > 0 ? paths::fromNativeBytes(QByteArrayView(buffer, n)) : QString();
}

// A link of ours: one that points into the shared folder (a link the user made to somewhere
// else counts as the user's own program).
bool isLinkOfOurs(const QString& path, const QString& sharedFolder)
{
    const QString target = linkTarget(path);
    const qsizetype cut = target.lastIndexOf(QLatin1Char('/'));
    return cut > 0 && target.left(cut) == sharedFolder;
}

// Every entry of `folder` named `name` in any letter case, broken links included.
QStringList entriesIgnoringCase(const QString& folder, const QString& name)
{
    QStringList found;
    const QStringList all = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                   QDir::NoDotAndDotDot);
    for (const QString& entry : all) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            found.append(entry);
    }
    return found;
}

// The example file goes into the data folder that a user's first start makes; a user who
// deletes it later does not get it back, as the data folder is then there.
void makeDataFolder(const QString& userFolder, const QString& sharedFolder)
{
    if (paths::existsIgnoringCase(userFolder, QStringLiteral("data")))
        return;
    const QString data = paths::join(userFolder, QStringLiteral("data"));
    if (!QDir().mkdir(data))
        return;
    const QString sharedData = paths::resolveIgnoringCase(sharedFolder, QStringLiteral("data"));
    const QString example =
        paths::resolveIgnoringCase(sharedData, QStringLiteral("CRNexample.crn"));
    if (QFileInfo(example).isFile()) {
        const QString copy = paths::join(data, QStringLiteral("CRNexample.crn"));
        if (QFile::copy(example, copy))
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    }
}

} // namespace

void renewToolLinks(const QString& userFolder, const QString& sharedFolder)
{
    for (const char* tool : kCompanionTools) {
        const QString name = QString::fromLatin1(tool);
        QString source = paths::findIgnoringCase(sharedFolder, name);
        if (!source.isEmpty() && !QFileInfo(paths::join(sharedFolder, source)).isFile())
            source.clear();
        const QString target = source.isEmpty() ? QString() : paths::join(sharedFolder, source);
        bool usersOwn = false;
        QString kept;
        QStringList stale;
        for (const QString& entry : entriesIgnoringCase(userFolder, name)) {
            const QString path = paths::join(userFolder, entry);
            if (!isLinkOfOurs(path, sharedFolder))
                usersOwn = true;
            else if (entry == source && linkTarget(path) == target)
                kept = path;
            else
                stale.append(path);
        }
        // The user's own program of that name is the one started; a link beside it in another
        // letter case would make which of them starts a matter of chance.
        const bool wanted = !usersOwn && !target.isEmpty();
        if (!wanted && !kept.isEmpty())
            stale.append(std::exchange(kept, QString()));
        for (const QString& path : stale)
            ::unlink(native(path).constData());
        if (wanted && kept.isEmpty())
            (void)::symlink(native(target).constData(),
                            native(paths::join(userFolder, source)).constData());
    }
}

AppFolderPlace appFolderOf(const QString& programFolder, const QString& xdgDataHome,
                           const QString& home)
{
    if (!QFileInfo::exists(paths::join(programFolder, QString::fromLatin1(kMachineWideMarker))))
        return {programFolder, {}, {}};
    QString dataHome = QDir::cleanPath(xdgDataHome);
    if (!dataHome.startsWith(QLatin1Char('/'))) {
        if (!home.startsWith(QLatin1Char('/')))
            return {{},
                    programFolder,
                    problemAt(QStringLiteral("$XDG_DATA_HOME/keldara"),
                              FileResult::refused(QStringLiteral("No home folder is set.")))};
        dataHome = QDir::cleanPath(home + QStringLiteral("/.local/share"));
    }
    return {QDir::cleanPath(dataHome + QStringLiteral("/keldara")), programFolder, {}};
}

AppFolderPlace settleAppFolder(const QString& programFolder, const QString& xdgDataHome,
                               const QString& home)
{
    AppFolderPlace place = appFolderOf(programFolder, xdgDataHome, home);
    if (place.sharedFolder.isEmpty() || !place.problem.isEmpty())
        return place;
    place.problem = makeOwnFolder(place.folder);
    if (place.problem.isEmpty()) {
        renewToolLinks(place.folder, programFolder);
        makeDataFolder(place.folder, programFolder);
    }
    return place;
}

#else

void renewToolLinks(const QString&, const QString&) {}

AppFolderPlace appFolderOf(const QString& programFolder, const QString&, const QString&)
{
    return {programFolder, {}, {}};
}

AppFolderPlace settleAppFolder(const QString& programFolder, const QString&, const QString&)
{
    return {programFolder, {}, {}};
}

#endif
