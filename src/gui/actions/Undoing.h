#pragma once

#include "base/FileResult.h"
#include "commands/Outcome.h"

#include <QString>

class HubContext;

// Tells the user why an undo changed nothing (or only part). True when the step may be tried
// again: the way may be cleared, or the failure may pass.
bool tellUndo(const HubContext& hub, commands::Outcome outcome, const FileResult& result,
              bool partly, const UndoTexts& texts);
