#include "app/recentlogs.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "prefs/settingsstore.h"
#include "ui/hints.h"
#include "ui/textcodec.h"

RecentLogs::RecentLogs(QMenu *menu, SettingsStore &settings, QObject *parent)
        : QObject(parent), m_menu(menu), m_settings(settings)
{
    // The bubbles tell where each file is, or that it is gone.
    m_menu->setToolTipsVisible(true);
    connect(&m_settings, &SettingsStore::recentChanged, this, &RecentLogs::rebuild);
    // A file may have gone since the list was made.
    connect(m_menu, &QMenu::aboutToShow, this, &RecentLogs::rebuild);
    rebuild();
}

void RecentLogs::add(const QString &path)
{
    if (!path.isEmpty())
        m_settings.addRecent(localPath(QFileInfo(path).absoluteFilePath()));
}

void RecentLogs::rebuild()
{
    m_menu->clear();
    int number = 0;
    for (const std::string &entry : m_settings.recent().paths()) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(entry));
        ++number;
        // &1 to &8: each entry has a key of its own.
        QAction *action =
            m_menu->addAction(QStringLiteral("&%1 %2").arg(number).arg(QDir::toNativeSeparators(path)));
        action->setObjectName(QStringLiteral("RecentLog%1").arg(number));
        if (QFileInfo(path).isFile()) {
            setHint(action, path);
            connect(action, &QAction::triggered, this, [this, path] { emit openRequested(path); });
        } else {
            action->setEnabled(false);
            setHint(action, QStringLiteral("File not found: ") + path);
        }
    }
    m_menu->setEnabled(number > 0);
}
