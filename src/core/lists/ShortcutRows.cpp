#include "lists/ShortcutRows.h"

#include "base/Columns.h"

QString ShortcutRows::text(int row, int column) const
{
    switch (column) {
    case 0: // the shortcut file name up to its first "."
        return entry(row).fileName.left(entry(row).fileName.indexOf(QLatin1Char('.')));
    case ToolsColumn::ShortcutFile:
        return entry(row).shortcutFile;
    case ToolsColumn::Program:
        return entry(row).program;
    default:
        return {};
    }
}

QString ShortcutRows::toolTip(int row) const
{
    const FileResult& read = entry(row).read;
    return read.ok ? QString() : QStringLiteral("The shortcut cannot be read: ") + read.errorText;
}
