#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class HubContext;

// The one way the hub starts a program from a command line. The start runs away from the
// window's thread: the program may lie on a drive that does not answer.
class Launching {
public:
    explicit Launching(const HubContext& hub)
        : m_hub(hub)
    {}

    // Runs after every successful start: the Open list reloads, as a tool may have changed it.
    void setAfterStart(std::function<void()> afterStart) { m_afterStart = std::move(afterStart); }

    // Starts `program` with the argument text unchanged and does not wait for it. A failure is
    // shown as "Can't start application" with the platform's reason. The same command given
    // again while it is being started starts nothing more. `dataFile`: the data file the tool
    // was started on; once it runs, the file goes on the desktop's recently-used list with the
    // tool as its program (a list that cannot take it changes nothing here).
    void LaunchCommand(const QString& program, const QString& argumentText,
                       const QString& dataFile = {});

    // The open-file dialog for data files: 0 with the chosen path in `fileName` (which also
    // gives the name box's first text), or the dialog-cancelled code.
    int ShowOpenDataFileDialog(QString& fileName);
    // Starts the tool of a data file by its extension, as Browse does; "The file can not be
    // opened" for any other.
    void openDataFile(const QString& fileName);

private:
    void recordRecent(const QString& program, const QString& command, const QString& dataFile);

    const HubContext& m_hub;
    std::function<void()> m_afterStart;
    QObject m_alive; // answers of starts are taken only while this lives
    QSet<QString> m_starting;
};
