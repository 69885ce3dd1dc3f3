#include "app/windowplaces.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>

#include "prefs/settingsstore.h"
#include "ui/filedialogs.h"

namespace {

navorel::ScreenRect toScreenRect(const QRect &rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QRect toRect(const navorel::ScreenRect &rect)
{
    return {rect.x, rect.y, rect.width, rect.height};
}

const QScreen *screenOf(const QRect &rect)
{
    const QScreen *best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(rect);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

} // namespace

WindowPlaces::WindowPlaces(QMainWindow *window, QSplitter *splitter, QTabWidget *pages,
                           SettingsStore &settings)
        : m_window(window), m_splitter(splitter), m_pages(pages), m_settings(settings)
{}

void WindowPlaces::addDialog(const QString &name, FileDialogState *dialog)
{
    m_dialogs.append({name, dialog});
}

QRect WindowPlaces::clampedToScreen(const QRect &rect, const QMargins &frame)
{
    const QScreen *screen = screenOf(rect.marginsAdded(frame));
    if (screen == nullptr)
        return rect;
    const QRect available = screen->availableGeometry().marginsRemoved(frame);
    return toRect(navorel::clampToScreen(toScreenRect(rect), toScreenRect(available)));
}

void WindowPlaces::placeFirstStart(const QSize &size)
{
    QRect rect(QPoint(0, 0), size);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        rect.moveCenter(screen->availableGeometry().center());
    m_window->setGeometry(clampedToScreen(rect, QMargins()));
}

QMargins WindowPlaces::frameMargins() const
{
    const QRect inside = m_window->geometry();
    const QRect frame = m_window->frameGeometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
            frame.bottom() - inside.bottom()};
}

void WindowPlaces::keepOnScreen()
{
    if (m_window->isMaximized() || m_window->isFullScreen())
        return;
    const QRect clamped = clampedToScreen(m_window->geometry(), frameMargins());
    if (clamped != m_window->geometry())
        m_window->setGeometry(clamped);
}

void WindowPlaces::restore()
{
    const navorel::WindowPlace &place = m_settings.windowPlace();
    if (place.geometry)
        m_window->setGeometry(clampedToScreen(toRect(*place.geometry), frameMargins()));
    if (place.maximized)
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
    if (place.splitter.size() == static_cast<std::size_t>(m_splitter->count()))
        m_splitter->setSizes(QList<int>(place.splitter.begin(), place.splitter.end()));
    if (place.tab >= 0 && place.tab < m_pages->count())
        m_pages->setCurrentIndex(place.tab);
    for (const auto &[name, dialog] : m_dialogs) {
        const auto found = place.dialogs.find(name.toStdString());
        if (found == place.dialogs.end())
            continue;
        dialog->folder = QString::fromStdString(found->second.folder);
        if (filterIndex(dialog->filter, QString::fromStdString(found->second.filter)) >= 0)
            dialog->chosenFilter = QString::fromStdString(found->second.filter);
    }
}

void WindowPlaces::store()
{
    navorel::WindowPlace place;
    place.geometry = toScreenRect(m_window->normalGeometry().isValid() ? m_window->normalGeometry()
                                                                       : m_window->geometry());
    place.maximized = m_window->isMaximized();
    const QList<int> sizes = m_splitter->sizes();
    place.splitter.assign(sizes.begin(), sizes.end());
    place.tab = m_pages->currentIndex();
    for (const auto &[name, dialog] : m_dialogs) {
        if (!dialog->folder.isEmpty() || !dialog->chosenFilter.isEmpty())
            place.dialogs[name.toStdString()] = {dialog->folder.toStdString(),
                                                 dialog->chosenFilter.toStdString()};
    }
    m_settings.setWindowPlace(place);
}
