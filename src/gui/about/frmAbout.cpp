#include "about/frmAbout.h"

#include "about/SystemInfo.h"
#include "base/Program.h"
#include "base/Version.h"
#include "ui/HubContext.h"
#include "ui/ImageList.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* label(const QString& name, int pointSizeDelta = 0, bool bold = false)
{
    auto* l = new QLabel;
    l->setObjectName(name);
    QFont f = l->font();
    f.setPointSize(f.pointSize() + pointSizeDelta);
    f.setBold(bold);
    l->setFont(f);
    return l;
}

// One of the two lines of the etched rule between the heading and the legal notice.
QFrame* rule(const QString& name, const char* colour)
{
    auto* line = new QFrame;
    line->setObjectName(name);
    line->setFixedHeight(1);
    line->setFrameShape(QFrame::HLine); // drawn by the style sheet alike; read as a separator
    line->setStyleSheet(QStringLiteral("background: %1; border: none;").arg(QLatin1String(colour)));
    return line;
}
} // namespace

frmAbout::frmAbout(const HubContext& hub)
    : QDialog(nullptr)
    , m_hub(hub)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(programIcon());

    picIcon = new QLabel;
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(programIcon().pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    picIcon->setAccessibleName(kProgramTitle + QStringLiteral(" icon"));

    // The title and its small "TM" are placed by hand: the mark sits directly right of the title.
    auto* titleBlock = new QWidget;
    titleBlock->setObjectName(QStringLiteral("titleBlock"));
    lblTitle = label(QStringLiteral("lblTitle"), 14, true);
    lblTitle->setParent(titleBlock);
    lblTitle->setText(QStringLiteral("QEL"));
    lblTM = label(QStringLiteral("lblTM"), -3);
    lblTM->setParent(titleBlock);
    lblTM->setText(QStringLiteral("TM"));

    lblVersion = label(QStringLiteral("lblVersion"));
    lblPath = label(QStringLiteral("lblPath"));
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Line1 = rule(QStringLiteral("Line1"), "#808080");
    Line2 = rule(QStringLiteral("Line2"), "#ffffff");

    lblDisclaimer = label(QStringLiteral("lblDisclaimer"), -1);
    lblDisclaimer->setText(QString::fromUtf8(kLegalNotice));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setMinimumWidth(300);

    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(4);
    heading->addWidget(titleBlock);
    heading->addSpacing(6);
    heading->addWidget(lblVersion);
    heading->addWidget(lblPath);
    heading->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picIcon);
    top->addLayout(heading, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);
    cmdOK->setMinimumWidth(cmdSysInfo->sizeHint().width());

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(16);
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);

    auto* rules = new QVBoxLayout;
    rules->setSpacing(0);
    rules->addWidget(Line1);
    rules->addWidget(Line2);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 12);
    outer->setSpacing(12);
    outer->addLayout(top);
    outer->addLayout(rules);
    outer->addLayout(bottom);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    Form_Load();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + kProgramTitle);
    lblVersion->setText(QStringLiteral("Version: %1.%2.%3")
                            .arg(kVersionMajor)
                            .arg(kVersionMinor)
                            .arg(kVersionRevision));

    lblTitle->adjustSize();
    lblTM->adjustSize();
    lblTitle->move(0, 0);
    lblTM->move(lblTitle->x() + lblTitle->width(), lblTitle->y() + lblTitle->height() / 6);
    QWidget* block = lblTitle->parentWidget();
    block->setFixedSize(lblTM->geometry().right() + 1, lblTitle->height());

    lblPath->setText(QStringLiteral("Application folder: ") + m_hub.appFolder());
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo(m_hub);
}
