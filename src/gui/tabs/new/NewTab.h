#pragma once

#include "ui/TabController.h"
#include "ui/TabRows.h"

#include <QString>

#include <optional>

class HubContext;
class ImageList;
class Launching;
class QelListView;

// One entry of the "New" list: a kind of data file to begin.
struct NewEntry {
    const char* text;
    const char* largeIcon;
    const char* smallIcon;
    const char* typeCode; // the entry's identity
};

// The "New" tab: one fixed entry per kind of data file; opening one starts its companion tool on
// a new file.
class NewTab : public TabController {
public:
    NewTab(const HubContext& hub, QelListView& list, const ImageList& large, const ImageList& small,
           Launching& launching);

    void LoadNewList();
    void open() override;
    SharedRows shownRows() const override { return m_rows.shown<ListRows>(); }

private:
    std::optional<NewEntry> chosen() const;

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    Launching& m_launching;
    TabRows m_rows;
};
