#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>

#include "prefs/windowplace.h"

class QMainWindow;
class QSplitter;
class QTabWidget;
class SettingsStore;
struct FileDialogState;

// The main window's places and sizes between runs, as navorel.conf keeps
// them: its geometry on the screen it opens on, the splitter, the chart
// page shown, and the folder and filter of each file dialog.
class WindowPlaces
{
public:
    WindowPlaces(QMainWindow *window, QSplitter *splitter, QTabWidget *pages, SettingsStore &settings);

    // A dialog whose folder and filter are kept under name (confsettings' kDialogNames).
    void addDialog(const QString &name, FileDialogState *dialog);
    // The size of a first start, centred and clamped to the screen.
    void placeFirstStart(const QSize &size);
    // What the settings read at start-up hold; what they lack stays.
    void restore();
    // Once shown, with the window manager's frame known: moved in where
    // the frame would stand off the screen.
    void keepOnScreen();
    // Into the settings, before they are written at the close.
    void store();

    // rect kept within the available area of the screen it lies on most
    // (the primary one when none), the window's frame included.
    static QRect clampedToScreen(const QRect &rect, const QMargins &frame);

private:
    QMargins frameMargins() const;

    QMainWindow *m_window;
    QSplitter *m_splitter;
    QTabWidget *m_pages;
    SettingsStore &m_settings;
    QList<QPair<QString, FileDialogState *>> m_dialogs;
};
