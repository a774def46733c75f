#include "ui/ListColumnFitter.h"

#include "base/Twips.h"

#include "ui/ListModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTreeView>

#include <algorithm>

namespace {
// The most of a name a fitted first column shows before eliding it.
constexpr int kFittedNameChars = 40;
} // namespace

ListColumnFitter::ListColumnFitter(ListModel& model, QTreeView& report)
    : m_model(model)
    , m_report(report)
{
    QObject::connect(m_report.header(), &QHeaderView::sectionResized, m_report.header(), [this] {
        if (m_sizing == 0)
            m_userWidths = true;
    });
}

void ListColumnFitter::addColumn(const QString& caption, int widthTwips)
{
    // Columns are made once, before any entry: a reset is all the views need, and the header's
    // sizes and hidden columns are set again for every column after it.
    ++m_sizing;
    m_model.beginResetModel();
    m_model.captions.append(caption);
    if (widthTwips > 0)
        m_model.shown.append(int(m_model.captions.size()) - 1);
    m_model.endResetModel();
    m_widths.push_back(widthTwips);
    for (qsizetype section = 0; section < m_model.shown.size(); ++section) {
        const int width = m_widths[size_t(m_model.shown[section])];
        m_report.header()->resizeSection(int(section), width / kTwipsPerPixel);
    }
    --m_sizing;
}

int ListColumnFitter::widthTwips(int column) const
{
    return column >= 0 && column < int(m_widths.size()) ? m_widths[size_t(column)] : 0;
}

QList<int> ListColumnFitter::userWidths() const
{
    QList<int> twips;
    if (!m_userWidths)
        return twips;
    const QHeaderView* header = m_report.header();
    for (int section = 0; section < header->count(); ++section)
        twips.append(header->sectionSize(section) * kTwipsPerPixel);
    return twips;
}

void ListColumnFitter::setUserWidths(const QList<int>& twips)
{
    QHeaderView* header = m_report.header();
    if (twips.size() != header->count() ||
        std::any_of(twips.begin(), twips.end(), [](int w) { return w < kTwipsPerPixel; }))
        return;
    ++m_sizing;
    for (int section = 0; section < header->count(); ++section)
        header->resizeSection(section, twips[section] / kTwipsPerPixel);
    --m_sizing;
    m_userWidths = true;
}

void ListColumnFitter::setFit(bool fit, const ListSort& sort)
{
    m_fit = fit;
    m_model.lastColumnTips = fit;
    m_report.setTextElideMode(fit ? Qt::ElideMiddle : Qt::ElideRight);
    this->fit(sort);
}

QList<int> ListColumnFitter::measured() const
{
    return m_fit ? m_model.shown.first(std::max<qsizetype>(m_model.shown.size() - 1, 0))
                 : QList<int>();
}

void ListColumnFitter::fit(const ListSort& sort, std::vector<std::vector<int>> longest)
{
    m_longest = std::move(longest);
    fit(sort);
}

void ListColumnFitter::fit(const ListSort& sort)
{
    QHeaderView* header = m_report.header();
    const int sections = header->count();
    if (!m_fit || m_userWidths || sections == 0)
        return;
    ++m_sizing;
    int used = 0;
    for (int section = 0; section + 1 < sections; ++section) {
        const int width = std::max(header->sectionSizeHint(section),
                                   contentWidth(section, section == 0 ? kFittedNameChars : 0));
        header->resizeSection(section, width);
        used += width;
    }
    // The last column keeps at least its caption; the room a sort indicator would take is kept
    // only when the list is sorted on it.
    const int last = sections - 1;
    int least = header->sectionSizeHint(last);
    if (!(sort.sorted && m_model.sectionOfColumn(sort.column) == last)) {
        const QString caption = m_model.captions.value(m_model.columnOfSection(last));
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        least = std::min(least, header->fontMetrics().horizontalAdvance(caption) + 4 * margin);
    }
    header->resizeSection(last, std::max(m_report.viewport()->width() - used, least));
    --m_sizing;
}

int ListColumnFitter::contentWidth(int section, int capChars) const
{
    const int column = m_model.columnOfSection(section);
    const int count = m_model.rowCount();
    const QFontMetrics metrics(m_report.font());
    // The rows of the column's longest texts, and the rows on screen.
    std::vector<int> rows;
    if (size_t(column) < m_longest.size())
        rows = m_longest[size_t(column)];
    const int top = std::max(m_report.indexAt(QPoint(1, 1)).row(), 0);
    const int onScreen = m_report.viewport()->height() / std::max(metrics.height(), 1) + 1;
    for (int row = top; row < std::min(count, top + onScreen); ++row)
        rows.push_back(m_model.sourceRow(row));
    int widest = -1;
    int widestText = 0;
    for (const int source : rows) {
        const int w = metrics.horizontalAdvance(m_model.rows().text(source, column));
        if (w > widestText) {
            widest = source;
            widestText = w;
        }
    }
    if (widest < 0 || count == 0)
        return 0;
    // The view's own measure of a cell of that text, with its icon and margins; a row the filter
    // hides is measured by the margins of the first row shown.
    int whole = 0;
    if (const int shown = m_model.state().displayRows[size_t(widest)]; shown >= 0) {
        whole = m_report.sizeHintForIndex(m_model.index(shown, section)).width();
    } else {
        const QModelIndex first = m_model.index(0, section);
        whole = m_report.sizeHintForIndex(first).width() -
                metrics.horizontalAdvance(m_model.textAt(0, column)) + widestText;
    }
    const int cap = capChars * metrics.averageCharWidth();
    return capChars > 0 && widestText > cap ? whole - widestText + cap : whole;
}
