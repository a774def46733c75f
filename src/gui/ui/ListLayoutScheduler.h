#pragma once

#include "lists/ListLayout.h"
#include "ui/ListModel.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

// A layout of a list: what to show and how the rows shown become it.
struct ListLayoutStep {
    enum class Kind { None, Change, Reorder, Refilter };
    Kind kind = Kind::None;
    ListModel::State state;
    ListPlan plan;
    ListSort sort;
    ListFilter filter;
    std::vector<std::vector<int>> longest; // by column: the rows of its longest texts

    // Whether the views see the whole list anew (selection is then found again by key).
    bool whole() const { return kind == Kind::Refilter || plan.reset; }

    // Made from what is shown (`shown`, sorted and filtered so) for what is asked: plain
    // computation, safe on any thread. `measured`: the columns fitted to their texts.
    static ListLayoutStep make(const ListModel::State& shown, const ListSort& shownSort,
                               const ListFilter& shownFilter, const SharedRows& rows,
                               const ListSort& sort, const ListFilter& filter, int columns,
                               const QList<int>& measured);
};

// Decides when and where a list is laid out: a small list at once, a large one on the compute
// line, one layout at a time. What is asked for while one is under way is laid out when it is
// done, from what it showed; notes given meanwhile are given again once it shows, a key chosen
// meanwhile is chosen among the new rows, and what waits for the list to show runs then.
class ListLayoutScheduler {
public:
    struct Hooks {
        // Puts a finished layout on screen.
        std::function<void(ListLayoutStep)> show;
        // The columns fitted to their texts, as the layout starts.
        std::function<QList<int>()> measured;
        // Gives shown entries notes, and chooses an entry by key, on the rows on screen.
        std::function<void(const QHash<QString, Note>&)> applyNotes;
        std::function<void(const QString&)> select;
    };
    ListLayoutScheduler(const ListModel& model, Hooks hooks);
    ~ListLayoutScheduler();

    void setRows(SharedRows rows);
    void setSort(const ListSort& sort);
    void setFilter(const ListFilter& filter);
    SharedRows wantedRows() const { return m_wantedRows; }
    const ListSort& sort() const { return m_sort; }
    const ListFilter& filter() const { return m_filter; }

    // Whether what was last asked (rows, order, filter) is on screen.
    bool isSettled() const;
    // Runs `then` once it is (at once when it is now), unless `context` is gone by then.
    void whenShown(QObject* context, std::function<void()> then);
    // Notes given to the rows on screen: a layout under way started from the notes before them.
    void notesGiven(const QHash<QString, Note>& noteOfKey);
    // Chooses the entry of `key` among the rows asked for; false when they are on screen, so
    // that the caller chooses it now.
    bool selectWhenShown(const QString& key);

private:
    void relayout();
    void shown(ListLayoutStep layout);

    const ListModel& m_model;
    Hooks m_hooks;
    SharedRows m_wantedRows;
    ListSort m_sort;
    ListFilter m_filter;
    ListSort m_shownSort;
    ListFilter m_shownFilter;
    int m_generation = 0;             // counts what was asked for
    bool m_working = false;           // a layout is under way away from the window's thread
    QHash<QString, Note> m_lateNotes; // notes given while it is
    struct Waiting {
        QPointer<QObject> context;
        std::function<void()> then;
    };
    std::vector<Waiting> m_whenShown;
    std::optional<QString> m_selectWhenShown; // a key asked for while rows were laid out
    QObject m_alive;                          // layouts made away are taken only while this lives
};
