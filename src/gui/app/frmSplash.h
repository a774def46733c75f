#pragma once

#include "ui/HubContext.h"

#include <QSvgRenderer>
#include <QWidget>

class QLabel;
class QTimer;

// The window shown while the main window's lists are filled. Its load enforces the single
// instance and does the start's housekeeping; it hands over to the main window after about four
// seconds, or at once on a click on its margin or a key.
class frmSplash : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "window") // read as a window, not as a panel
public:
    frmSplash(const HubContext& hub, QWidget* mainWindow);

    // Returns false when another instance runs: the message was shown and this program must end.
    bool Form_Load();
    void Form_Activate();
    void Form_Click();
    void Form_KeyPress(int keyAscii);
    void Timer1_Timer();

    QLabel* lblProduct = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblTrademark = nullptr;
    QLabel* lblApp = nullptr;
    QLabel* lblLegal = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void handOver();
    QRect pictureRect() const;

    const HubContext& m_hub;
    QWidget* m_mainWindow;
    QSvgRenderer m_picture;
    bool m_handedOver = false;
};
