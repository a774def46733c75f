// Opening an entry of the "New" or "Open" list, the Browse button, and starting a tool.
#include "actions/LaunchTable.h"
#include "app/Paths.h"
#include "lists/DataFileKind.h"
#include "mainwindow/frmQEL.h"
#include "mainwindow/QelListView.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"

#include <QFileInfo>

namespace {
const QString kTitle = QStringLiteral("Keldara");
constexpr int kCancelled = 32755;

// A file the user cannot see counts as missing, as a hidden file would on Windows.
bool dataFileExists(const QString& folder, const QString& name)
{
    return !name.startsWith(QLatin1Char('.')) && QFileInfo(folder + name).isFile();
}
} // namespace

void frmQEL::lstQEL_DblClick(int index)
{
    if (index != 0 && index != 1)
        return; // the "Tools" and "Web" lists open their entries in their own way
    // A second double-click (or Enter) while a message or dialog of the first is on screen
    // must not start a second launch.
    if (!m_launchReady)
        return;
    QelListView* list = lstQEL[size_t(index)];
    const int row = list->selectedRow();
    if (list->count() == 0 || row < 0)
        return;

    m_launchReady = false;
    std::optional<CommandLine> command;
    if (index == 0) {
        command = commandForNew(appFolder(), list->subItem(row, 1));
    } else {
        const QString folder = list->subItem(row, 3);
        const QString name = list->text(row);
        if (!dataFileExists(folder, name)) {
            const QString text =
                QStringLiteral("File does not exist: ") + SpacesToQuestionMarks(folder) +
                SpacesToQuestionMarks(name) + QLatin1Char('\r') +
                QStringLiteral("It may have been moved or deleted. Do you wish to locate the "
                               "file yourself? ");
            if (m_services.prompter->message(text, kTitle, MsgButtons::YesNo,
                                             MsgIcon::Exclamation) == MsgAnswer::Yes) {
                cmdBrowseTag = SpacesToQuestionMarks(name);
                cmdBrowse_Click();
            }
            // Only the entry goes; whatever is at that path now is the user's and stays.
            const FileResult r = DeleteFileEntry(folder + name);
            if (!r.ok)
                reportSaveFailure(r);
            m_launchReady = true;
            return;
        }
        command = commandForOpen(appFolder(), list->subItem(row, 4), folder, name);
    }
    if (command)
        LaunchCommand(command->program, command->arguments);
    m_launchReady = true;
}

int frmQEL::ShowOpenDataFileDialog(QString& fileName)
{
    OpenFileRequest request;
    request.title = QStringLiteral("Open File");
    request.filter = QStringLiteral(
        "Profile View Fuel Profile(*.fpl)|*.fpl|LogTally Planar Intercept(*.pli)|*.pli|"
        "LogTally Plot Pictures(*.phs)|*.phs|Canopy Load(*.crn)|*.crn");
    request.filterIndex = 1;
    const QString data = paths::findIgnoringCase(appFolder(), QStringLiteral("data"));
    request.initialFolder =
        data.isEmpty() ? appFolder() + paths::separator() : paths::join(appFolder(), data);
    request.initialName = fileName;
    QString chosen;
    if (!m_services.prompter->openFile(request, &chosen))
        return kCancelled;
    fileName = chosen;
    return 0;
}

void frmQEL::cmdBrowse_Click()
{
    QString fileName = cmdBrowseTag;
    const int result = ShowOpenDataFileDialog(fileName);
    cmdBrowseTag.clear();
    if (result != 0)
        return;
    const std::optional<CommandLine> command =
        commandForBrowse(appFolder(), KindFromExtension(fileName), fileName);
    if (!command) {
        m_services.prompter->message(QStringLiteral("The file can not be opened"), kTitle,
                                     MsgButtons::Ok, MsgIcon::None);
        return;
    }
    LaunchCommand(command->program, command->arguments);
}

void frmQEL::LaunchCommand(const QString& program, const QString& argumentText)
{
    const LaunchResult started = m_services.launcher->start(program, argumentText);
    if (!started.started) {
        m_services.prompter->message(QStringLiteral("Can't start application\r") +
                                         QString::number(started.error) + QLatin1Char('-') +
                                         started.errorText,
                                     kTitle, MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    // The tool is running: a list that cannot be read now is no reason to say it did not start.
    // The rows read so far stay, and the refresh timer tries again when the file changes.
    LoadOpenList();
}
