#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The web link dialog: a name and an address, for a new link or a renamed one. It does not block
// the main window. It only reports: its OK button says what the user typed and which mode the
// dialog is in (its caption, "Create" or "Rename"); the "Web" tab decides what to do and closes
// the dialog when it is done. Neither button answers Enter or Escape.
class frmWeb : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "dialog") // read as a dialog, not as a panel
public:
    explicit frmWeb(QWidget* owner);

    void cmdOK_Click();
    void cmdCancel_Click();

    // The mode: the OK button's caption.
    QString mode() const;
    // Fills the boxes; what the user then types counts as typed.
    void fill(const QString& name, const QString& url);
    // Whether the user changed the address since the dialog was filled.
    bool urlEdited() const;

    QLineEdit* txtName = nullptr;
    QLineEdit* txtUrl = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

signals:
    // OK was pressed: the mode and the texts are read from the dialog.
    void okPressed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_placed = false;
};
