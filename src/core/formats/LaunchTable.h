#pragma once

#include <QString>

#include <optional>

// Every blank becomes "?": the companion tools take a path as one word.
QString SpacesToQuestionMarks(const QString& text);

// A command line of the launch table: the program (application folder + executable name) and
// the argument text after the blank that follows it.
struct CommandLine {
    QString program;
    QString arguments;
    QString text() const { return program + QLatin1Char(' ') + arguments; }
    bool operator==(const CommandLine&) const = default;
};

// A new file of the kind with this type code ("FPL", "PLI", "PHS", "CRN", any letter case).
std::optional<CommandLine> commandForNew(const QString& appFolder, const QString& typeCode);

// An existing file from the "Open" list: its stored kind code, folder (ending in a separator)
// and name.
std::optional<CommandLine> commandForOpen(const QString& appFolder, const QString& kindCode,
                                          const QString& folder, const QString& name);

// The name of the companion tool that `program` (a command line's program) is, as the suite
// calls it ("Plot Pictures", "LogTallyPC", "Canopy Load"); empty for any other program.
QString companionToolName(const QString& program);

// A file chosen with Browse, by KindFromExtension's answer (0 to 3).
std::optional<CommandLine> commandForBrowse(const QString& appFolder, int kindIndex,
                                            const QString& path);
