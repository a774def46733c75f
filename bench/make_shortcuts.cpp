// Writes a folder full of shortcuts for the window benchmarks: make_shortcuts FOLDER COUNT
// PROGRAM... (the shortcuts point to the programs in turn).
#include "formats/ShortcutHelper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: make_shortcuts FOLDER COUNT PROGRAM...\n");
        return 2;
    }
    QDir().mkpath(args[1]);
    const int count = args[2].toInt();
    const QStringList programs = args.mid(3);
    for (int i = 0; i < count; ++i) {
        QString file =
            QDir(args[1]).filePath(QStringLiteral("Tool %1.lnk").arg(i, 5, 10, QLatin1Char('0')));
        QString target = programs[i % programs.size()];
        QString working = QFileInfo(target).absolutePath();
        QString arguments = QStringLiteral(" ");
        QString icon = target;
        qint32 n1 = 0, n2 = 0;
        const FileResult r =
            ShortcutHelper().CreateShortcut(file, target, working, arguments, icon, n1, n2);
        if (!r.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(r.message(file)));
            return 1;
        }
    }
    return 0;
}
