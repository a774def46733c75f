#include "base/Program.h"

QString tabCaption(Tab tab)
{
    switch (tab) {
    case Tab::New:
        return QStringLiteral("New");
    case Tab::Open:
        return QStringLiteral("Open");
    case Tab::Tools:
        return QStringLiteral("Tools");
    case Tab::Web:
        return QStringLiteral("Web");
    }
    return {};
}
