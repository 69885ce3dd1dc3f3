#pragma once

#include <cstddef>

class QAction;
class QProgressBar;

// The gauge at the left end of the status bar, with the tool-bar separator
// shown beside it.
class ProgressGauge
{
public:
    ProgressGauge(QProgressBar *bar, QAction *separator) : m_bar(bar), m_separator(separator) {}

    void show(bool shown);
    bool isShown() const;
    // Painted at once: the commands run to their end before the event loop
    // comes back.
    void set(std::size_t position, std::size_t maximum);

private:
    QProgressBar *m_bar;
    QAction *m_separator;
};
