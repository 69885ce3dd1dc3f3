#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "app/mainwindow.h"
#include "app/resultpage.h"
#include "prefs/preferencesdialog.h"
#include "prefs/settingsstore.h"
#include "tests/gui/fakes.h"

// The program started on the portable settings of a folder of its own: the
// windows made as a start makes them, reading NAVRL.ini and navorel.conf
// there; start() again is a restart. Quitting (closing the window) writes
// both files.
class PortableStart
{
public:
    PortableStart() : m_path(m_dir.filePath(QStringLiteral("NAVRL.ini"))) {}

    void start()
    {
        m_window.reset();
        m_prompter = std::make_unique<FakePrompter>();
        m_settings = std::make_unique<SettingsStore>();
        m_window = std::make_unique<MainWindow>(*m_settings, m_dialogs, *m_prompter, UrlOpener());
        m_window->setResultPage(new ResultPage(m_window.get()));
        m_preferences = new PreferencesDialog(*m_settings, *m_prompter, m_path, m_window.get());
        m_window->setPreferences(m_preferences);
        QObject::connect(m_window.get(), &MainWindow::FormClose, m_preferences, &PreferencesDialog::saveINI);
    }

    QTemporaryDir &dir() { return m_dir; }
    // NAVRL.ini in the folder.
    const QString &path() const { return m_path; }
    FakeDialogs &dialogs() { return m_dialogs; }
    SettingsStore *settings() const { return m_settings.get(); }
    FakePrompter *prompter() const { return m_prompter.get(); }
    MainWindow *window() const { return m_window.get(); }
    PreferencesDialog *preferences() const { return m_preferences; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    FakeDialogs m_dialogs;
    // Made anew at every start, the window last and gone first.
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<FakePrompter> m_prompter;
    std::unique_ptr<MainWindow> m_window;
    PreferencesDialog *m_preferences = nullptr; // the window's child
};
