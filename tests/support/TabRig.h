#pragma once

#include "actions/Launching.h"
#include "support/FakeHub.h"
#include "ui/ColumnTable.h"
#include "ui/HubContext.h"
#include "ui/ImageList.h"
#include "ui/QelListView.h"

// What a tab controller needs, without a main window: the tab's list view with its columns, the
// image lists, a context over fake services and the launching piece.
struct TabRig : FakeHub {
    ImageList large, small;
    QelListView list;
    std::unique_ptr<HubContext> hub;
    std::unique_ptr<Launching> launching;

    explicit TabRig(Tab tab)
        : list(int(tab))
    {
        for (const ColumnDef& c : columnsOfList(tab))
            list.addColumn(QString::fromUtf8(c.caption), c.widthTwips);
        fillListIcons(large, small);
        hub = std::make_unique<HubContext>(services);
        launching = std::make_unique<Launching>(*hub);
    }
};
