#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// The freedesktop file formats that finding the user's applications needs: desktop entries,
// mimeapps.list and mimeinfo.cache (all three share one key-file syntax), and the Exec line.
namespace xdg {

// The groups and keys of one key file, values as written.
class KeyFile {
public:
    // nullopt when the file cannot be read.
    static std::optional<KeyFile> load(const QString& path);
    static KeyFile parse(const QByteArray& data);

    // The value of the first `key` in `group` (later repeats are ignored); empty when absent.
    QString value(const QString& group, const QString& key,
                  Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    bool hasGroup(const QString& group) const;

private:
    QList<QPair<QString, QList<QPair<QString, QString>>>> m_groups;
};

// Undoes the escapes of a string value (\s \n \t \r \\); any other backslash stays as written.
QString unescapeValue(const QString& raw);
// The entries of a list value separated by ";" ("\;" is a semicolon), empty entries dropped.
QStringList splitListValue(const QString& raw);

// What the field codes of an Exec line stand for.
struct ExecFields {
    QString target;          // the URL or folder to open
    bool targetIsUrl = true; // a web address goes to %u / %U only; a local folder also to %f / %F
    QString icon;            // the Icon key, for %i
    QString name;            // the translated Name, for %c
    QString location;        // the desktop file, for %k
};

// The Exec value (string escapes already undone) as program and arguments, quoting undone and
// field codes expanded once (an expansion is never expanded again). The target goes in at the
// first code that takes it, as exactly that argument or inside the argument that holds the code;
// other codes for files and URLs expand to nothing. nullopt when the line is malformed (an open
// quote, an unknown field code, no program) or has no place for the target.
std::optional<QStringList> expandExec(const QString& exec, const ExecFields& fields);

// An application's desktop entry, as far as starting it needs.
struct DesktopEntry {
    QString path;
    QString type, exec, tryExec, icon, name; // string escapes undone
    bool hidden = false;
    bool terminal = false;
};

// Reads the [Desktop Entry] group of `path`; `locale` (as in $LANG, e.g. "de_AT.UTF-8@euro")
// picks the translated Name. nullopt when the file cannot be read or has no such group.
std::optional<DesktopEntry> loadDesktopEntry(const QString& path, const QString& locale);

} // namespace xdg
