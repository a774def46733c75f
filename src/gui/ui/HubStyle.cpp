#include "ui/HubStyle.h"

#include "ui/ImageList.h"

#include <QGuiApplication>
#include <QWidget>

QIcon HubStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                             const QWidget* widget) const
{
    const bool rightToLeft = widget ? widget->isRightToLeft() : QGuiApplication::isRightToLeft();
    switch (which) {
    case SP_ToolBarHorizontalExtensionButton:
        return drawnIcon(rightToLeft ? QStringLiteral("more-left") : QStringLiteral("more-right"));
    case SP_ToolBarVerticalExtensionButton:
        return drawnIcon(QStringLiteral("more-down"));
    default:
        return QProxyStyle::standardIcon(which, option, widget);
    }
}
