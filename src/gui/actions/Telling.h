#pragma once

#include "commands/Told.h"
#include "ui/HubContext.h"

// Tells the user what came of a command: its failure with the platform's reason, or its notice.
inline void tell(const HubContext& hub, const commands::Told& told, const FileResult& result)
{
    if (!told.failure.isEmpty())
        hub.fileFailure(told.failure, result);
    else if (!told.notice.isEmpty())
        hub.notice(told.notice);
}
