#pragma once

#include <QObject>
#include <QString>

class QMenu;
class SettingsStore;

// The File menu's "Recent Logs": the logs and result files last opened or
// saved, newest first, as navorel.conf keeps them. A file no longer there
// is greyed and says so in its bubble.
class RecentLogs : public QObject
{
    Q_OBJECT

public:
    RecentLogs(QMenu *menu, SettingsStore &settings, QObject *parent = nullptr);

    QMenu *menu() const { return m_menu; }
    // A file opened or saved: first in the list from now on.
    void add(const QString &path);

signals:
    // An entry chosen: the window opens it as a dropped file.
    void openRequested(const QString &path);

private:
    void rebuild();

    QMenu *m_menu;
    SettingsStore &m_settings;
};
