#pragma once

#include "lists/ListRows.h"
#include "lists/WebLinkList.h"

// The rows of the "Web" list: the links as the file held them, each text held once.
class WebLinkRows final : public ListRows {
public:
    explicit WebLinkRows(QList<WebLinkRecord> links)
        : m_links(std::move(links))
    {}
    const WebLinkRecord& link(int row) const { return m_links[row]; }
    int count() const override { return int(m_links.size()); }
    QString text(int row, int column) const override;
    QString key(int row) const override { return link(row).name; }
    QString largeIcon(int) const override { return QStringLiteral("Web"); }
    QString smallIcon(int) const override { return QStringLiteral("Web"); }
    QString description(int row) const override { return link(row).url; }

private:
    QList<WebLinkRecord> m_links;
};

// What a pin of the "Web" list is keyed by: a link is its name and its address (a tab between
// them: the state file, like the lists, holds no line break).
QString pinIdentityOf(const WebLinkRecord& link);
