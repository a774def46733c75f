#include "mainwindow/FindAnywhere.h"

#include "base/Program.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
constexpr int kEntryRole = Qt::UserRole;
} // namespace

FindAnywhere::FindAnywhere(std::vector<SearchEntry> entries, IconOf iconOf, Open open,
                           QWidget* parent)
    : QDialog(parent)
    , m_iconOf(std::move(iconOf))
    , m_open(std::move(open))
{
    setWindowTitle(QStringLiteral("Find Anywhere"));
    m_search.setEntries(std::move(entries));

    auto* label = new QLabel(QStringLiteral("&Name:"), this);
    m_query = new QLineEdit(this);
    m_query->setObjectName(QStringLiteral("txtFindAnywhere"));
    m_query->setAccessibleName(QStringLiteral("Find in every tab"));
    m_query->setPlaceholderText(QStringLiteral("Type part of a name or folder"));
    label->setBuddy(m_query);
    m_matches = new QListWidget(this);
    m_matches->setObjectName(QStringLiteral("lstFindAnywhere"));
    m_matches->setAccessibleName(QStringLiteral("Matches"));
    m_matches->setUniformItemSizes(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_query);
    layout->addWidget(m_matches);
    resize(520, 360);

    connect(m_query, &QLineEdit::textChanged, this, [this] { showMatches(); });
    connect(m_query, &QLineEdit::returnPressed, this, [this] { openChosen(); });
    connect(m_matches, &QListWidget::itemActivated, this, [this] { openChosen(); });
    // Up and Down in the box move through the matches, so the keyboard never leaves the box.
    m_query->installEventFilter(this);
    m_query->setFocus();
}

void FindAnywhere::showMatches()
{
    m_matches->clear();
    const std::vector<SearchEntry>& entries = m_search.entries();
    for (int i : m_search.find(m_query->text(), kMaxShown)) {
        const SearchEntry& e = entries[size_t(i)];
        QString text = e.name + QStringLiteral(" \u2014 ") + tabCaption(e.tab);
        if (!e.folder.isEmpty())
            text += QStringLiteral(", ") + e.folder;
        auto* item = new QListWidgetItem(m_iconOf ? m_iconOf(e) : QIcon(), text, m_matches);
        item->setData(kEntryRole, i);
    }
    if (m_matches->count() > 0)
        m_matches->setCurrentRow(0);
}

bool FindAnywhere::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_query && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_matches, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QStringList FindAnywhere::shownNames() const
{
    QStringList names;
    for (int row = 0; row < m_matches->count(); ++row)
        names.append(
            m_search.entries()[size_t(m_matches->item(row)->data(kEntryRole).toInt())].name);
    return names;
}

void FindAnywhere::openChosen()
{
    const QListWidgetItem* item = m_matches->currentItem();
    if (!item)
        return;
    // A copy: opening may close this dialog and the search with it.
    const SearchEntry chosen = m_search.entries()[size_t(item->data(kEntryRole).toInt())];
    accept();
    if (m_open)
        m_open(chosen);
}
