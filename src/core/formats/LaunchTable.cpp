#include "formats/LaunchTable.h"

#include "base/Paths.h"

namespace {

QString tool(const QString& appFolder, const char* exe)
{
    return paths::join(appFolder, QString::fromLatin1(exe));
}

// The companion tools that open data files, by executable.
struct Tool {
    const char* executable;
    const char* name;
};
constexpr Tool kTools[] = {
    {"prv.exe", "Plot Pictures"},
    {"ltpc.exe", "LogTallyPC"},
    {"cnl.exe", "Canopy Load"},
};

} // namespace

QString companionToolName(const QString& program)
{
    QString name;
    SplitPath(program, &name, nullptr);
    for (const Tool& t : kTools) {
        if (name.compare(QLatin1String(t.executable), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(t.name);
    }
    return {};
}

QString SpacesToQuestionMarks(const QString& text)
{
    QString result = text;
    result.replace(QLatin1Char(' '), QLatin1Char('?'));
    return result;
}

std::optional<CommandLine> commandForNew(const QString& appFolder, const QString& typeCode)
{
    const QString code = typeCode.toUpper();
    if (code == QLatin1String("FPL"))
        return CommandLine{tool(appFolder, "prv.exe"), QStringLiteral("#NEW#")};
    if (code == QLatin1String("CRN"))
        return CommandLine{tool(appFolder, "cnl.exe"), QStringLiteral("#NEW#")};
    // LogTallyPC is told the kind by the type code alone, unchanged; it takes no "#NEW#".
    if (code == QLatin1String("PLI") || code == QLatin1String("PHS"))
        return CommandLine{tool(appFolder, "ltpc.exe"), typeCode};
    return std::nullopt;
}

std::optional<CommandLine> commandForOpen(const QString& appFolder, const QString& kindCode,
                                          const QString& folder, const QString& name)
{
    const QString code = kindCode.toUpper();
    const QString file = SpacesToQuestionMarks(folder) + SpacesToQuestionMarks(name);
    if (code == QLatin1String("FPL"))
        return CommandLine{tool(appFolder, "prv.exe"), file};
    if (code == QLatin1String("CRN"))
        return CommandLine{tool(appFolder, "cnl.exe"), file};
    if (code == QLatin1String("PLI") || code == QLatin1String("PHS"))
        return CommandLine{tool(appFolder, "ltpc.exe"), kindCode + QLatin1Char(' ') + file};
    return std::nullopt;
}

std::optional<CommandLine> commandForBrowse(const QString& appFolder, int kindIndex,
                                            const QString& path)
{
    const QString file = SpacesToQuestionMarks(path);
    switch (kindIndex) {
    case 0:
        return CommandLine{tool(appFolder, "prv.exe"), file};
    case 1:
        return CommandLine{tool(appFolder, "ltpc.exe"), QStringLiteral("phs ") + file};
    case 2:
        return CommandLine{tool(appFolder, "ltpc.exe"), QStringLiteral("pli ") + file};
    case 3:
        return CommandLine{tool(appFolder, "cnl.exe"), file};
    default:
        return std::nullopt;
    }
}
