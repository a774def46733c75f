#include "commands/WebOutcomes.h"

#include "base/Columns.h"

namespace webedits {

QString nameOf(Edit edit)
{
    switch (edit) {
    case Edit::Create:
        return QStringLiteral("create");
    case Edit::Rename:
        return QStringLiteral("rename");
    default:
        return QStringLiteral("delete");
    }
}

Reaction reactionTo(Edit edit, const Result& result, const QString& name)
{
    const bool deleting = edit == Edit::Delete;
    switch (result.outcome) {
    case Outcome::Refused:
        return {commands::Told::of(result.refusal)};
    case Outcome::Gone:
        return {commands::Told::of(goneText(name)), !deleting, true};
    case Outcome::Failed:
        if (deleting)
            return {commands::Told::failed(QStringLiteral("The web shortcut was not deleted"),
                                           result.result)};
        return {commands::Told::failed(QStringLiteral("Problem saving to QEL list"), result.result),
                false, true};
    default:
        return {{}, !deleting, false, true};
    }
}

WebLinkList::Order listOrder(bool sorted, int sortColumn, bool ascending)
{
    if (!sorted)
        return {};
    return orderOf(sortColumn == WebColumn::Url, ascending);
}

std::optional<QString> renamedAddress(const QString& url, bool typed)
{
    return typed ? std::optional<QString>(url) : std::nullopt;
}

QString noneChosenText()
{
    return QStringLiteral("No web shortcut is selected on the Web tab, so none was renamed.");
}

QString undoCaption(const DeletedLinks& step)
{
    return QStringLiteral("Undo Delete of ") + step.name;
}

QString undoCaption(const RenamedLink& step)
{
    return QStringLiteral("Undo Rename of ") + step.after.name;
}

} // namespace webedits
