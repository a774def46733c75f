#pragma once

#include "search/EntrySearch.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QListWidget;

// Edit > Find Anywhere: one search over the entries of every tab. As the user types, the best
// matches show with their tab and icon; Enter or a double-click opens the chosen one through its
// tab, Esc closes. The entries are the tabs' own, as they show them now: a search never reads a
// file or waits on a drive.
class FindAnywhere : public QDialog {
public:
    using IconOf = std::function<QIcon(const SearchEntry&)>;
    using Open = std::function<void(const SearchEntry&)>;

    FindAnywhere(std::vector<SearchEntry> entries, IconOf iconOf, Open open, QWidget* parent);

    static constexpr int kMaxShown = 50;

    // The entries shown for what is typed now, best first (for tests and screen readers alike).
    QStringList shownNames() const;
    QLineEdit* queryBox() const { return m_query; }
    QListWidget* matchList() const { return m_matches; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMatches();
    void openChosen();

    EntrySearch m_search;
    IconOf m_iconOf;
    Open m_open;
    QLineEdit* m_query = nullptr;
    QListWidget* m_matches = nullptr;
};
