#include "actions/Launching.h"

#include "platform/Launcher.h"
#include "ui/HubContext.h"
#include "work/Work.h"

void Launching::LaunchCommand(const QString& program, const QString& argumentText)
{
    const QString command = program + QLatin1Char(' ') + argumentText;
    if (m_starting.contains(command))
        return;
    m_starting.insert(command);
    Launcher* launcher = &m_hub.launcher();
    work::post(
        m_hub.lineOf(program), &m_alive,
        [launcher, program, argumentText] { return launcher->start(program, argumentText); },
        [this, command](const FileResult& started) {
            m_starting.remove(command);
            if (!started.ok) {
                m_hub.critical(started.message(QStringLiteral("Can't start application")));
                return;
            }
            // The tool is running: a list that cannot be read now is no reason to say it did
            // not start. The rows read so far stay, and the refresh timer tries again.
            if (m_afterStart)
                m_afterStart();
        });
}
