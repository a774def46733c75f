#include "ui/ListModel.h"

#include "ui/ImageList.h"
#include "work/Work.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>

namespace {

// `base` at the list's two sizes, shown in `mode`, with an emblem drawn over it by
// `emblem(painter, scale)`, where the scale is the size over 16 pixels.
template <class Emblem> QIcon withEmblem(const QIcon& base, QIcon::Mode mode, Emblem emblem)
{
    QIcon icon;
    for (const int side : {16, 32}) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        base.paint(&p, QRect(0, 0, side, side), Qt::AlignCenter, mode);
        emblem(p, side / 16.0);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

// A drive with a line through it, in the lower right corner of `base`: the entry's file is on a
// drive that is not connected.
QIcon withAwayEmblem(const QIcon& base)
{
    return withEmblem(base, QIcon::Disabled, [](QPainter& p, qreal s) {
        const QRectF drive(7 * s, 9.5 * s, 8.5 * s, 5.5 * s);
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), s));
        p.setBrush(QColor(0xf0, 0xf0, 0xf0));
        p.drawRoundedRect(drive, 1.2 * s, 1.2 * s);
        p.setBrush(QColor(0x40, 0x40, 0x40));
        p.drawEllipse(QPointF(drive.right() - 2 * s, drive.center().y()), 0.8 * s, 0.8 * s);
        p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 1.4 * s, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(drive.left(), drive.bottom() + 0.5 * s),
                   QPointF(drive.right(), drive.top() - 0.5 * s));
    });
}

// A pin in the icon's top right corner: the entry stands first in its list.
QIcon withPinEmblem(const QIcon& base)
{
    return withEmblem(base, QIcon::Normal, [](QPainter& p, qreal s) {
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2 * s, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12 * s, 4.5 * s), QPointF(12 * s, 8.5 * s));
        p.setPen(QPen(QColor(0x80, 0x10, 0x10), 0.8 * s));
        p.setBrush(QColor(0xd8, 0x30, 0x30));
        p.drawEllipse(QPointF(12 * s, 3.5 * s), 2.6 * s, 2.6 * s);
    });
}

} // namespace

const ListRows& ListModel::rows() const
{
    static const EntryRows none({});
    return m_state.rows ? *m_state.rows : none;
}

int ListModel::sourceRow(int displayRow) const
{
    return displayRow >= 0 && size_t(displayRow) < m_state.order.size()
               ? m_state.order[size_t(displayRow)]
               : -1;
}

QString ListModel::textAt(int displayRow, int column) const
{
    const int row = sourceRow(displayRow);
    return row < 0 ? QString() : rows().text(row, column);
}

ListEntry ListModel::entryAt(int displayRow) const
{
    ListEntry e;
    const int source = sourceRow(displayRow);
    if (source < 0)
        return e;
    e.key = rows().key(source);
    e.text = rows().text(source, 0);
    for (int column = 1; column < int(captions.size()); ++column)
        e.subItems.append(rows().text(source, column));
    e.largeIcon = rows().largeIcon(source);
    e.smallIcon = rows().smallIcon(source);
    e.description = rows().description(source);
    e.note = m_state.notes[size_t(source)];
    e.toolTip = rows().toolTip(source);
    return e;
}

Note ListModel::noteAt(int displayRow) const
{
    const int source = sourceRow(displayRow);
    return source < 0 ? Note::None : m_state.notes[size_t(source)];
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_state.order.size());
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(shown.size());
}

QIcon ListModel::iconOf(int row) const
{
    const ImageList* icons = largeIcons ? large : small;
    if (!icons)
        return {};
    const QString key = largeIcons ? rows().largeIcon(row) : rows().smallIcon(row);
    if (key.isEmpty() || !icons->contains(key))
        return {};
    if (!isAway(m_state.notes[size_t(row)]))
        return icons->icon(key);
    const QString awayKey = (largeIcons ? QLatin1Char('L') : QLatin1Char('S')) + key;
    auto found = m_awayIcons.constFind(awayKey);
    if (found == m_awayIcons.constEnd())
        found = m_awayIcons.insert(awayKey, withAwayEmblem(icons->icon(key)));
    return *found;
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    const int row = index.isValid() ? sourceRow(index.row()) : -1;
    if (row < 0)
        return {};
    const int column = columnOfSection(index.column());
    const Note note = m_state.notes[size_t(row)];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return column < 0 ? QVariant() : QVariant(rows().text(row, column));
    case Qt::AccessibleDescriptionRole: {
        QString description = rows().description(row);
        if (pinned && pinned->contains(rows().key(row)))
            description += QStringLiteral(", pinned");
        if (note == Note::None)
            return description;
        return description.isEmpty() ? noteText(note)
                                     : description + QStringLiteral(", ") + noteText(note);
    }
    case Qt::ToolTipRole:
        // An elided last column tells itself whole; the other cells tell the entry's note.
        if (lastColumnTips && index.column() == columnCount() - 1)
            return rows().text(row, column);
        if (note != Note::None) {
            const QString tip = rows().toolTip(row);
            return tip.isEmpty() ? noteText(note) : tip;
        }
        return {};
    case Qt::ForegroundRole: {
        if (note == Note::None)
            return {};
        const QPalette palette = QGuiApplication::palette();
        const QColor grey = palette.color(QPalette::Disabled, QPalette::Text);
        if (!isAway(note))
            return grey;
        // A grey of its own, halfway to the text: the file may well be there, on its drive.
        const QColor text = palette.color(QPalette::Active, QPalette::Text);
        return QColor((grey.red() + text.red()) / 2, (grey.green() + text.green()) / 2,
                      (grey.blue() + text.blue()) / 2);
    }
    case Qt::DecorationRole:
        if (index.column() == 0) {
            if (const QIcon icon = iconOf(row); !icon.isNull()) {
                if (!pinned || !pinned->contains(rows().key(row)))
                    return icon;
                auto found = m_pinIcons.constFind(icon.cacheKey());
                if (found == m_pinIcons.constEnd())
                    found = m_pinIcons.insert(icon.cacheKey(), withPinEmblem(icon));
                return *found;
            }
        }
        return {};
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation o, int role) const
{
    const int column = columnOfSection(section);
    if (o == Qt::Horizontal && role == Qt::DisplayRole && column >= 0)
        return captions.value(column);
    return {};
}

void ListModel::rowsChanged(int first, int last)
{
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void ListModel::iconsChanged()
{
    m_awayIcons.clear();
    m_pinIcons.clear();
    if (!m_state.order.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

bool ListModel::setNote(int row, Note note)
{
    if (row < 0 || size_t(row) >= m_state.notes.size() || m_state.notes[size_t(row)] == note)
        return false;
    m_state.notes[size_t(row)] = note;
    return true;
}

void ListModel::applyNotes(const QHash<QString, Note>& noteOfKey)
{
    if (!m_state.index)
        return;
    int first = rowCount(), last = -1;
    for (auto it = noteOfKey.constBegin(); it != noteOfKey.constEnd(); ++it) {
        m_state.index->forEachRow(*m_state.rows, it.key(), [&](int source) {
            const int shown = m_state.displayRows[size_t(source)];
            if (setNote(source, it.value()) && shown >= 0) {
                first = std::min(first, shown);
                last = std::max(last, shown);
            }
            return true;
        });
    }
    rowsChanged(first, last);
}

void ListModel::applyNotes(const ListRows* rows, const std::vector<std::pair<int, Note>>& noteOfRow)
{
    // Notes of rows that are no longer shown are not kept: the rows that replaced them are
    // looked at anew once they show.
    if (!rows || rows != m_state.rows.get())
        return;
    int first = rowCount(), last = -1;
    for (const auto& [row, note] : noteOfRow) {
        const int shown = m_state.displayRows[size_t(row)];
        if (setNote(row, note) && shown >= 0) {
            first = std::min(first, shown);
            last = std::max(last, shown);
        }
    }
    rowsChanged(first, last);
}

int ListModel::rowOfKey(const QString& key) const
{
    if (!m_state.index || key.isEmpty())
        return -1;
    int first = -1;
    m_state.index->forEachRow(*m_state.rows, key, [&](int source) {
        const int shown = m_state.displayRows[size_t(source)];
        if (shown >= 0 && (first < 0 || shown < first))
            first = shown;
        return true;
    });
    return first;
}

void ListModel::change(State next, const ListPlan& plan)
{
    // The rows and their index that go are let go of away from the window's thread.
    const auto letGo = [this] {
        work::dispose(std::exchange(m_state.rows, {}));
        work::dispose(std::exchange(m_state.index, {}));
    };
    if (plan.reset || !m_state.rows) {
        beginResetModel();
        letGo();
        m_state = std::move(next);
        endResetModel();
        return;
    }
    // Rows that went, while the old rows are still the ones shown...
    for (auto r = plan.removed.rbegin(); r != plan.removed.rend(); ++r) {
        beginRemoveRows({}, r->first, r->last);
        m_state.order.erase(m_state.order.begin() + r->first, m_state.order.begin() + r->last + 1);
        endRemoveRows();
    }
    // ... then the new rows in place of the old: the rows that stay are the same entries, in the
    // same order, so the views see no change yet...
    std::vector<int> order = std::move(next.order);
    std::vector<char> came(order.size(), 0);
    for (const ListPlan::Range& r : plan.inserted)
        std::fill(came.begin() + r.first, came.begin() + r.last + 1, 1);
    next.order.clear();
    next.order.reserve(order.size());
    for (size_t j = 0; j < order.size(); ++j) {
        if (!came[j])
            next.order.push_back(order[j]);
    }
    letGo();
    m_state = std::move(next);
    m_awayIcons.clear();
    m_pinIcons.clear();
    // ... and the rows that came, each run at its place.
    for (const ListPlan::Range& r : plan.inserted) {
        beginInsertRows({}, r.first, r.last);
        m_state.order.insert(m_state.order.begin() + r.first, order.begin() + r.first,
                             order.begin() + r.last + 1);
        endInsertRows();
    }
    for (const ListPlan::Range& r : plan.changed)
        rowsChanged(r.first, r.last);
}

void ListModel::reorder(std::vector<int> order, std::vector<int> displayRows)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> before = std::move(m_state.order);
    m_state.displayRows = std::move(displayRows);
    m_state.order = std::move(order);
    // Selection and current entry stay on the same entries.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList mapped;
    mapped.reserve(persistent.size());
    for (const QModelIndex& p : persistent) {
        const int source = size_t(p.row()) < before.size() ? before[size_t(p.row())] : -1;
        const int row = source < 0 ? -1 : m_state.displayRows[size_t(source)];
        mapped.append(row < 0 ? QModelIndex() : index(row, p.column()));
    }
    changePersistentIndexList(persistent, mapped);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListModel::refilter(std::vector<int> order, std::vector<int> displayRows)
{
    beginResetModel();
    m_state.displayRows = std::move(displayRows);
    m_state.order = std::move(order);
    endResetModel();
}
