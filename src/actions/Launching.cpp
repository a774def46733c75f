#include "actions/Launching.h"

#include "platform/Launcher.h"
#include "ui/HubContext.h"

bool Launching::LaunchCommand(const QString& program, const QString& argumentText)
{
    const FileResult started = m_hub.launcher().start(program, argumentText);
    if (!started.ok) {
        m_hub.critical(started.message(QStringLiteral("Can't start application")));
        return false;
    }
    // The tool is running: a list that cannot be read now is no reason to say it did not start.
    // The rows read so far stay, and the refresh timer tries again when the file changes.
    if (m_afterStart)
        m_afterStart();
    return true;
}
