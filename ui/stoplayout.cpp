#include "ui/stoplayout.h"

#include <QWidget>
#include <algorithm>

StopLayout::StopLayout(QWidget *parent) : QLayout(parent) {}

StopLayout::~StopLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void StopLayout::addWidget(QWidget *widget, int stop)
{
    addChildWidget(widget);
    m_entries.append({new QWidgetItem(widget), stop});
    invalidate();
}

void StopLayout::addItem(QLayoutItem *item)
{
    m_entries.append({item, 0});
    invalidate();
}

int StopLayout::count() const
{
    return static_cast<int>(m_entries.size());
}

QLayoutItem *StopLayout::itemAt(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries[index].item : nullptr;
}

QLayoutItem *StopLayout::takeAt(int index)
{
    if (index < 0 || index >= m_entries.size())
        return nullptr;
    QLayoutItem *item = m_entries.takeAt(index).item;
    invalidate();
    return item;
}

Qt::Orientations StopLayout::expandingDirections() const
{
    return {};
}

int StopLayout::gap() const
{
    return std::max(spacing(), 0);
}

int StopLayout::rowHeight() const
{
    int height = 0;
    for (const Entry &entry : m_entries)
        height = std::max(height, entry.item->sizeHint().height());
    return height;
}

int StopLayout::packedWidth(qsizetype count) const
{
    int width = 0;
    for (qsizetype i = 0; i < count; ++i)
        width += m_entries[i].item->sizeHint().width() + (i > 0 ? gap() : 0);
    return width;
}

QSize StopLayout::sizeHint() const
{
    const QMargins margins = contentsMargins();
    int right = margins.left(); // where the item before ends
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        right =
            std::max(right + (i > 0 ? gap() : 0), m_entries[i].stop) + m_entries[i].item->sizeHint().width();
    return QSize(right + margins.right(), rowHeight() + margins.top() + margins.bottom());
}

QSize StopLayout::minimumSize() const
{
    const QMargins margins = contentsMargins();
    const qsizetype n = m_entries.size();
    if (n < 2)
        return QSize(packedWidth(n) + margins.left() + margins.right(),
                     rowHeight() + margins.top() + margins.bottom());
    const int width = std::max(packedWidth(n - 1), m_entries.last().item->sizeHint().width());
    return QSize(width + margins.left() + margins.right(),
                 2 * rowHeight() + gap() + margins.top() + margins.bottom());
}

void StopLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QRect area = rect.marginsRemoved(contentsMargins());
    const qsizetype n = m_entries.size();
    // The furthest right each of the first count items may start and leave
    // room for the others of the row after it.
    QList<int> latest(n);
    const auto fillLatest = [&](qsizetype count) {
        int after = area.right() + 1;
        for (qsizetype i = count - 1; i >= 0; --i) {
            after -= m_entries[i].item->sizeHint().width();
            latest[i] = after;
            after -= gap();
        }
    };
    fillLatest(n);
    const bool wraps = n > 1 && latest.first() < area.left();
    if (wraps)
        fillLatest(n - 1);
    const int height = rowHeight();
    const int rows = wraps ? 2 : 1;
    const int top = area.top() + std::max((area.height() - rows * height - (rows - 1) * gap()) / 2, 0);
    int x = area.left();
    for (qsizetype i = 0; i < n; ++i) {
        const Entry &entry = m_entries[i];
        const QSize size(entry.item->sizeHint().width(), height);
        if (wraps && i == n - 1) {
            const int under = std::max(rect.left() + m_entries.first().stop, area.left());
            entry.item->setGeometry(QRect(QPoint(under, top + height + gap()), size));
            break;
        }
        x = std::max(x, std::min(rect.left() + entry.stop, latest[i]));
        entry.item->setGeometry(QRect(QPoint(x, top), size));
        x += size.width() + gap();
    }
}
