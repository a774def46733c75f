#pragma once

#include "actions/DriveWait.h"
#include "base/Program.h"
#include "platform/HandOver.h"

#include <QObject>

#include <functional>

class frmQEL;

// What the desktop asks of the running hub through its command line, from this start or from a
// later one: data files to open and kinds of file to begin. They wait until the main window
// shows, then each file is opened as Browse opens a chosen file, and each kind is begun as the
// "New" tab's entry begins it. A command line of more than kFilesWithoutAsking files is asked
// about first, as each file starts a program.
class DesktopRequests : public QObject {
public:
    static constexpr int kFilesWithoutAsking = 5;

    // How a window is brought to the front with a later start's activation token.
    using Activate = std::function<void(QWidget& window, const QByteArray& token)>;

    explicit DesktopRequests(frmQEL& window, Activate activate = {});

    // This start's own request.
    void take(const QList<HandOver::Item>& items);
    // A later start's: `front` (the splash while it shows, else the main window) comes forward
    // with that start's token, then its items are taken as above.
    void received(const HandOver& later, QWidget& front);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handlePending();
    void open(const QString& path);
    void begin(const QString& kind);
    // A shortcut or web link the desktop's search handed over, opened as its tab opens it.
    void openEntry(Tab tab, const QString& key);

    frmQEL& m_window;
    Activate m_activate;
    QList<QList<HandOver::Item>> m_pending; // one command line's each
    DriveWait m_waits; // whether a file is there is asked of its drive, never here
};
