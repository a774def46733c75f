#include "app/frmSplash.h"

#include "base/Program.h"
#include "base/Version.h"
#include "platform/InstanceGuard.h"
#include "setup/StartupHousekeeping.h"
#include "ui/ImageList.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

namespace {
constexpr int kMargin = 8;
constexpr QSize kPicture(480, 300);

// A text drawn over the picture. Its colour is set in its palette, not by a style sheet: a style
// sheet would set up the style-sheet machinery before the first window shows.
QLabel* overlay(QWidget* parent, const QString& text, int pointSize, bool bold, const char* name,
                QColor colour = QColor(0x2b, 0x38, 0x22))
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont f = label->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    label->setFont(f);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->adjustSize();
    return label;
}
} // namespace

frmSplash::frmSplash(const HubContext& hub, QWidget* mainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_hub(hub)
    , m_mainWindow(mainWindow)
{
    ensureResources();
    m_picture.load(QStringLiteral(":/icons/splash.svg"));
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(kProgramTitle);
    setAccessibleName(QStringLiteral("Keldara is starting"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(kPicture.width() + 2 * kMargin, kPicture.height() + 2 * kMargin);

    lblProduct = overlay(this, QStringLiteral("Keldara"), 26, true, "lblProduct");
    lblProduct->move(kMargin + 24, kMargin + 20);
    lblTitle = overlay(this, QStringLiteral("QEL"), 40, true, "lblTitle");
    lblTitle->move(kMargin + 24, kMargin + 70);
    lblTrademark = overlay(this, QStringLiteral("TM"), 8, false, "lblTrademark");
    lblTrademark->move(lblTitle->geometry().right() + 2, lblTitle->y() + 8);
    lblApp = overlay(this, QStringLiteral("Release 9.9.9"), 11, true, "lblApp");
    lblApp->move(kMargin + 26, kMargin + 140);
    lblLegal = overlay(this, QString(), 8, false, "lblLegal", QColor(0xf4, 0xef, 0xe1));
    lblLegal->move(kMargin + 12, kMargin + kPicture.height() - 26);
    for (QLabel* l : {lblProduct, lblTitle, lblTrademark, lblApp, lblLegal})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

bool frmSplash::Form_Load()
{
    InstanceGuard* instance = m_hub.services().instance;
    if (instance && !instance->tryAcquire()) {
        m_hub.critical(QStringLiteral("Error: you already have Keldara Running"));
        return false;
    }
    if (instance && !instance->problem().isEmpty())
        m_hub.notice(instance->problem()); // a damaged lock is reported, and the start goes on
    // Housekeeping: every step ignores its own failure; the next start tries again.
    makeProgramFolders(m_hub.appFolder());
    removeRetiredShortcut(m_hub.appFolder());
    writeDefaultShortcuts(m_hub.appFolder());

    Timer1->start();
    lblApp->setText(QStringLiteral("Release %1.%2.%3")
                        .arg(kVersionMajor)
                        .arg(kVersionMinor)
                        .arg(kVersionRevision));
    lblApp->adjustSize();
    lblLegal->setText(QString::fromUtf8(kLegalNotice));
    lblLegal->adjustSize();
    QCoreApplication::processEvents();
    return true;
}

void frmSplash::Form_Activate()
{
    Timer1->setInterval(4000);
}

bool frmSplash::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(e);
}

QRect frmSplash::pictureRect() const
{
    return QRect(QPoint(kMargin, kMargin), kPicture);
}

void frmSplash::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x3b, 0x4a, 0x32));
    m_picture.render(&p, pictureRect());
}

void frmSplash::mousePressEvent(QMouseEvent* e)
{
    // The picture and its labels take no clicks; the margin around them does.
    if (!pictureRect().contains(e->position().toPoint()))
        Form_Click();
}

void frmSplash::keyPressEvent(QKeyEvent* e)
{
    if (!e->text().isEmpty())
        Form_KeyPress(e->text().at(0).unicode());
    else
        QWidget::keyPressEvent(e);
}

void frmSplash::Form_Click()
{
    handOver();
}

void frmSplash::Form_KeyPress(int keyAscii)
{
    Q_UNUSED(keyAscii);
    handOver();
}

void frmSplash::Timer1_Timer()
{
    handOver();
}

void frmSplash::handOver()
{
    if (m_handedOver)
        return;
    m_handedOver = true;
    Timer1->stop();
    if (m_mainWindow) {
        m_mainWindow->show();
        m_mainWindow->activateWindow();
    }
    close();
}
