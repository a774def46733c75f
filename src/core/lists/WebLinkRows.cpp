#include "lists/WebLinkRows.h"

#include "base/Columns.h"

QString WebLinkRows::text(int row, int column) const
{
    return column == 0 ? link(row).name : column == WebColumn::Url ? link(row).url : QString();
}

QString pinIdentityOf(const WebLinkRecord& link)
{
    return link.name + QLatin1Char('\t') + link.url;
}
