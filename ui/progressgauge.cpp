#include "ui/progressgauge.h"

#include <QAction>
#include <QProgressBar>
#include <algorithm>
#include <climits>

void ProgressGauge::show(bool shown)
{
    m_bar->setVisible(shown);
    m_separator->setVisible(shown);
    if (shown)
        m_bar->raise();
}

bool ProgressGauge::isShown() const
{
    return m_bar->isVisible();
}

void ProgressGauge::set(std::size_t position, std::size_t maximum)
{
    const int top = static_cast<int>(std::min<std::size_t>(maximum, INT_MAX));
    // Scaled, so that sizes beyond an int still move the gauge.
    const double scale =
        maximum > INT_MAX ? static_cast<double>(INT_MAX) / static_cast<double>(maximum) : 1.0;
    const int value = static_cast<int>(static_cast<double>(std::min(position, maximum)) * scale);
    if (m_bar->maximum() != top)
        m_bar->setMaximum(top);
    if (m_bar->value() == value)
        return;
    m_bar->setValue(value);
    if (m_bar->isVisible())
        m_bar->repaint();
}
