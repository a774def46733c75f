#pragma once

#include "base/FileResult.h"
#include "commands/Outcome.h"

#include <QString>

class HubContext;

// What the user is told when Edit > Undo changes nothing, by the reason.
struct UndoTexts {
    QString taken;      // something stands where the step would put back what it took
    QString gone;       // what the step would take back is no longer there
    QString notInTrash; // the trash no longer holds the file the step put there
    QString partly;     // what came back, but the list could not take (told with the reason)
};

// Tells the user why an undo changed nothing (or only part). True when the step may be tried
// again: the way may be cleared, or the failure may pass.
bool tellUndo(const HubContext& hub, commands::Outcome outcome, const FileResult& result,
              bool partly, const UndoTexts& texts);
