#pragma once

#include "commands/Told.h"
#include "ui/HubContext.h"

// Tells the user what came of a command: its failure with the platform's reason, or its notice.
inline void tell(const HubContext& hub, const commands::Told& told)
{
    if (!told.failure.isEmpty())
        hub.fileFailure(told.failure, told.reason);
    else if (told.critical && !told.notice.isEmpty())
        hub.critical(told.notice);
    else if (!told.notice.isEmpty())
        hub.notice(told.notice);
}
