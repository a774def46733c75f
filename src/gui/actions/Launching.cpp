#include "actions/Launching.h"

#include "base/Paths.h"
#include "base/Program.h"
#include "formats/LaunchTable.h"
#include "lists/DataFileKind.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "platform/RecentDocuments.h"
#include "ui/HubContext.h"
#include "work/Work.h"

#include <QDir>

void Launching::LaunchCommand(const QString& program, const QString& argumentText,
                              const QString& dataFile)
{
    const QString command = program + QLatin1Char(' ') + argumentText;
    if (m_starting.contains(command))
        return;
    m_starting.insert(command);
    Launcher* launcher = &m_hub.launcher();
    work::post(
        m_hub.lineOf(program), &m_alive,
        [launcher, program, argumentText] { return launcher->start(program, argumentText); },
        [this, program, command, dataFile](const FileResult& started) {
            m_starting.remove(command);
            if (!started.ok) {
                m_hub.critical(started.message(QStringLiteral("Can't start application")));
                return;
            }
            if (!dataFile.isEmpty())
                recordRecent(program, command, dataFile);
            // The tool is running: a list that cannot be read now is no reason to say it did
            // not start. The rows read so far stay, and the refresh timer tries again.
            if (m_afterStart)
                m_afterStart();
        });
}

void Launching::recordRecent(const QString& program, const QString& command,
                             const QString& dataFile)
{
    RecentDocuments* recent = m_hub.services().recent;
    const DataFileKind* kind = kindOfPath(dataFile);
    if (!recent || !kind)
        return;
    RecentDocuments::Document document{dataFile, QString::fromLatin1(kind->mimeType),
                                       companionToolName(program), command};
    // The list lives in the user's home, which may be on a drive that hangs. Whatever becomes
    // of it, the tool runs: the answer is not waited for and not shown.
    work::post(
        m_hub.lineOf(QDir::homePath()), &m_alive,
        [recent, document] { return recent->add(document); }, [](const FileResult&) {});
}

int Launching::ShowOpenDataFileDialog(QString& fileName)
{
    OpenFileRequest request;
    request.title = QStringLiteral("Open File");
    request.filter = QStringLiteral(
        "Profile View Fuel Profile(*.fpl)|*.fpl|LogTally Planar Intercept(*.pli)|*.pli|"
        "LogTally Plot Pictures(*.phs)|*.phs|Canopy Load(*.crn)|*.crn");
    request.filterIndex = 1;
    const QString app = m_hub.appFolder();
    const QString data = paths::findIgnoringCase(app, QStringLiteral("data"));
    request.initialFolder = data.isEmpty() ? app + paths::separator() : paths::join(app, data);
    request.initialName = fileName;
    QString chosen;
    if (!m_hub.prompter().openFile(request, &chosen))
        return kDialogCancelled;
    fileName = chosen;
    return 0;
}

void Launching::openDataFile(const QString& fileName)
{
    const auto command = commandForBrowse(m_hub.appFolder(), KindFromExtension(fileName), fileName);
    if (!command) {
        m_hub.notice(QStringLiteral("The file can not be opened"));
        return;
    }
    LaunchCommand(command->program, command->arguments, fileName);
}
