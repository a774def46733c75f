#include "setup/StartArguments.h"

#include "formats/LaunchTable.h"

#include <QDir>
#include <QUrl>

namespace {

StartArguments wrong(const QString& why)
{
    StartArguments a;
    a.action = StartArguments::Action::Wrong;
    a.text = QStringLiteral("keldara: ") + why + QLatin1Char('\n') + startUsage();
    return a;
}

QString fullPath(const QString& argument, const QString& currentFolder)
{
    QString path = argument;
    // Some launchers hand over addresses rather than paths.
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        if (url.isLocalFile())
            path = url.toLocalFile();
    }
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(currentFolder).absoluteFilePath(path)));
}

} // namespace

QString startUsage()
{
    return QStringLiteral("Usage: keldara [FILE...] [--new KIND] [--tool FILE] [--link NAME]\n"
                          "  FILE         a data file (.fpl, .pli, .phs or .crn) to open in its "
                          "companion tool\n"
                          "  --new KIND   begin a new data file: KIND is FPL, PLI, PHS or CRN\n"
                          "  --tool FILE  start the program of the shortcut FILE of the Tools tab\n"
                          "  --link NAME  open the web link named NAME of the Web tab\n"
                          "When Keldara already runs, it is handed the request and comes to the "
                          "front.\n");
}

StartArguments parseStartArguments(const QStringList& arguments, const QString& currentFolder)
{
    StartArguments result;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (options && a == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            return {StartArguments::Action::Help, {}, startUsage()};
        }
        if (options && a == QLatin1String("--version")) {
            return {StartArguments::Action::Version, {}, {}};
        }
        if (options && (a == QLatin1String("--new") || a.startsWith(QLatin1String("--new=")))) {
            QString kind;
            if (a.size() > 5)
                kind = a.mid(6);
            else if (i + 1 < arguments.size())
                kind = arguments[++i];
            else
                return wrong(QStringLiteral("--new needs a kind: FPL, PLI, PHS or CRN"));
            if (!commandForNew(QString(), kind))
                return wrong(QStringLiteral("--new takes FPL, PLI, PHS or CRN, not \"") + kind +
                             QLatin1Char('"'));
            result.items.append({HandOver::What::New, kind.toUpper()});
            continue;
        }
        if (options && (a == QLatin1String("--tool") || a == QLatin1String("--link"))) {
            // What the desktop's search hands over: an entry of the "Tools" or "Web" tab.
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
                return wrong(a + (a == QLatin1String("--tool")
                                      ? QStringLiteral(" needs a shortcut file")
                                      : QStringLiteral(" needs a link's name")));
            const QString& what = arguments[++i];
            if (a == QLatin1String("--tool"))
                result.items.append({HandOver::What::Tool, fullPath(what, currentFolder)});
            else
                result.items.append({HandOver::What::Link, what});
            continue;
        }
        if (options && a.startsWith(QLatin1Char('-')) && a.size() > 1)
            return wrong(QStringLiteral("unknown option \"") + a + QLatin1Char('"'));
        if (a.isEmpty())
            continue;
        result.items.append({HandOver::What::File, fullPath(a, currentFolder)});
    }
    return result;
}
