#include "app/keyboardpath.h"

#include <QAction>
#include <QTabWidget>
#include <QWidget>

namespace {

QAction *windowKey(QWidget *window, const char *name, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(window);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

} // namespace

KeyboardPath::KeyboardPath(QWidget *window, QWidget *textArea, QTabWidget *pages)
        : QObject(window), m_textArea(textArea), m_pages(pages),
          m_nextPage(windowKey(window, "NextChartPage", {QKeySequence(Qt::CTRL | Qt::Key_Tab)})),
          // Shift turns Tab into Backtab on most platforms: both are named.
          m_previousPage(windowKey(window, "PreviousChartPage",
                                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)})),
          m_switchFocus(windowKey(window, "SwitchFocus",
                                  {QKeySequence(Qt::CTRL | Qt::Key_M), QKeySequence(Qt::Key_F6)}))
{
    connect(m_nextPage, &QAction::triggered, this, [this] { stepPage(1); });
    connect(m_previousPage, &QAction::triggered, this, [this] { stepPage(-1); });
    connect(m_switchFocus, &QAction::triggered, this, &KeyboardPath::moveFocus);
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3};
    for (int page = 0; page < m_pages->count() && page < 3; ++page) {
        QAction *choose = windowKey(window, "ChartPage", {QKeySequence(Qt::CTRL | digits[page])});
        choose->setObjectName(QStringLiteral("ChartPage%1").arg(page + 1));
        connect(choose, &QAction::triggered, this, [this, page] { m_pages->setCurrentIndex(page); });
    }
}

void KeyboardPath::stepPage(int step)
{
    const int count = m_pages->count();
    if (count > 0)
        m_pages->setCurrentIndex((m_pages->currentIndex() + step + count) % count);
}

// From the text area to the page shown (its tabs: the arrow keys then
// choose pages too), and from anywhere else back to the text area.
void KeyboardPath::moveFocus()
{
    const QWidget *focus = m_textArea->window()->focusWidget();
    const bool inText = focus != nullptr && (focus == m_textArea || m_textArea->isAncestorOf(focus));
    if (inText)
        m_pages->setFocus(Qt::ShortcutFocusReason);
    else
        m_textArea->setFocus(Qt::ShortcutFocusReason);
}
