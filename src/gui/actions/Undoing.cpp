#include "actions/Undoing.h"

#include "ui/HubContext.h"

using commands::Outcome;

bool tellUndo(const HubContext& hub, Outcome outcome, const FileResult& result, bool partly,
              const UndoTexts& texts)
{
    switch (outcome) {
    case Outcome::Taken:
        hub.notice(texts.taken);
        return true;
    case Outcome::Gone:
        hub.notice(texts.gone);
        return false;
    case Outcome::NotInTrash:
        hub.notice(texts.notInTrash);
        return false;
    case Outcome::Done:
        return false;
    default:
        if (partly) {
            hub.fileFailure(texts.partly, result);
            return false;
        }
        hub.fileFailure(QStringLiteral("The undo did not go through. Nothing was changed."),
                        result);
        return true;
    }
}
