#include "prefs/settingslocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "prefs/settingsfile.h"

QString settingsFilePath(const QString &programFolder, const QString &configFolder)
{
    const QString name = QString::fromLatin1(navorel::kSettingsFileName.data(),
                                             static_cast<qsizetype>(navorel::kSettingsFileName.size()));
    const QString beside = QDir(programFolder).filePath(name);
    const QFileInfo folder(programFolder);
    if (QFileInfo::exists(beside) || (folder.isDir() && folder.isWritable()))
        return beside;
    QDir().mkpath(configFolder);
    return QDir(configFolder).filePath(name);
}

QString settingsFilePath()
{
    return settingsFilePath(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
