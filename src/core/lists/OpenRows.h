#pragma once

#include "lists/ListRows.h"
#include "lists/MissingFiles.h"
#include "lists/OpenEntries.h"

// The rows of the "Open" list: its entries, each text held once (see OpenEntry). The files of
// the same entries are what the missing-file check looks at.
class OpenRows final : public ListRows, public MissingFiles::Entries {
public:
    explicit OpenRows(OpenListing listing)
        : m_listing(std::move(listing))
    {}
    OpenEntry entry(int row) const { return m_listing.at(size_t(row)); }
    int count() const override { return int(m_listing.size()); }
    QString text(int row, int column) const override;
    QString key(int row) const override { return folder(row) + name(row); }
    // The key is the folder and the name: hashed and compared without being made.
    quint32 keyHash(int row) const override;
    bool sameKey(int row, const ListRows& other, int otherRow) const override;
    bool hasKey(int row, const QString& key) const override;
    // A listing comes sorted by name, unless it was put newest first.
    int sortedBy() const override { return m_listing.byName() ? 0 : -1; }
    const OpenListing& listing() const { return m_listing; }
    QString largeIcon(int row) const override;
    QString smallIcon(int row) const override;
    QString folderOf(int row) const override { return folder(row); }
    QStringList filesOf(int row) const override { return entry(row).files(); }

private:
    const QString& name(int row) const { return m_listing.name(size_t(row)); }
    const QString& folder(int row) const { return m_listing.folder(size_t(row)); }
    OpenListing m_listing;
};
