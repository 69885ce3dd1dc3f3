#pragma once

#include <cstddef>
#include <functional>

namespace navorel {

// Called as a long operation goes on: position out of maximum, as the
// progress gauge shows it.
using ProgressCallback = std::function<void(std::size_t position, std::size_t maximum)>;

// Passes progress on only when the whole percentage changes, so that a
// million-line log does not repaint a million times.
class ProgressReporter
{
public:
    ProgressReporter(const ProgressCallback &callback, std::size_t maximum)
            : m_callback(callback), m_maximum(maximum == 0 ? 1 : maximum)
    {}

    void set(std::size_t position)
    {
        if (!m_callback || position < m_next)
            return;
        m_callback(position, m_maximum);
        const std::size_t percent = position * 100 / m_maximum;
        m_next = ((percent + 1) * m_maximum + 99) / 100;
    }

private:
    const ProgressCallback &m_callback;
    std::size_t m_maximum;
    std::size_t m_next = 0;
};

} // namespace navorel
