#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class WebTab;

// The web link dialog: a name and an address, for a new link or a renamed one. It does not block
// the main window. Its OK button acts by its caption: "Create" adds the link, "Rename" changes the
// selected one; neither button answers Enter or Escape.
class frmWeb : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "dialog") // read as a dialog, not as a panel
public:
    frmWeb(WebTab& tab, QWidget* mainWindow);

    void cmdOK_Click();
    void cmdCancel_Click();

    QLineEdit* txtName = nullptr;
    QLineEdit* txtUrl = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    WebTab& m_tab;
    bool m_placed = false;
};
