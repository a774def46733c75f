#pragma once

#include <QDialog>

class HubContext;
class QFrame;
class QLabel;
class QPushButton;

// The about box: the program's name, version and application folder, and a way to the
// system-information program. It is a window of its own, not a child of the main window, so it
// stays on screen when the main window closes; it deletes itself when it closes.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const HubContext& hub);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblTM = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPath = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

private:
    const HubContext& m_hub;
};
