#include "tabs/web/frmWeb.h"

#include "base/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {
QRect twips(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

template <typename W> W* place(W* widget, const char* name, const QRect& where)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(where);
    return widget;
}
} // namespace

frmWeb::frmWeb(QWidget* owner)
    : QWidget(owner, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmWeb"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Create a Web Short Cut"));
    setFixedSize(twips(0, 0, 6990, 1515).size());

    txtName = place(new QLineEdit(QStringLiteral("New Web Short Cut"), this), "txtName",
                    twips(675, 120, 6180, 345));
    txtUrl =
        place(new QLineEdit(QStringLiteral("http://"), this), "txtUrl", twips(690, 540, 6150, 360));
    cmdOK =
        place(new QPushButton(QStringLiteral("OK"), this), "cmdOK", twips(5880, 1020, 1005, 450));
    cmdCancel = place(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel",
                      twips(4440, 1020, 1005, 450));
    Label1 = place(new QLabel(QStringLiteral("Name"), this), "Label1", twips(30, 180, 600, 285));
    Label2 = place(new QLabel(QStringLiteral("URL"), this), "Label2", twips(75, 615, 675, 285));
    Label1->setBuddy(txtName);
    Label2->setBuddy(txtUrl);
    txtName->setAccessibleName(QStringLiteral("Name"));
    txtUrl->setAccessibleName(QStringLiteral("URL"));
    for (QPushButton* b : {cmdOK, cmdCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    setTabOrder(txtName, txtUrl);
    setTabOrder(txtUrl, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmWeb::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmWeb::cmdCancel_Click);
}

void frmWeb::showEvent(QShowEvent* event)
{
    // A window of its own rather than a modal dialog, so nothing else would put it over the main
    // window; where the user then moves it, it stays.
    if (!m_placed && parentWidget()) {
        m_placed = true;
        const QRect owner = parentWidget()->window()->geometry();
        QRect where(QPoint(), frameGeometry().size());
        where.moveCenter(owner.center());
        if (const QScreen* screen = parentWidget()->screen()) {
            const QRect room = screen->availableGeometry();
            where.moveLeft(qBound(room.left(), where.left(), room.right() - where.width() + 1));
            where.moveTop(qBound(room.top(), where.top(), room.bottom() - where.height() + 1));
        }
        move(where.topLeft());
    }
    QWidget::showEvent(event);
}

void frmWeb::cmdOK_Click()
{
    emit okPressed();
}

void frmWeb::cmdCancel_Click()
{
    close();
}

QString frmWeb::mode() const
{
    return cmdOK->text();
}

void frmWeb::fill(const QString& name, const QString& url)
{
    txtName->setText(name); // setText leaves a box unmodified
    txtUrl->setText(url);
}

bool frmWeb::urlEdited() const
{
    return txtUrl->isModified();
}
