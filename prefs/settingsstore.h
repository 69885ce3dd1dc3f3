#pragma once

#include <QObject>

#include "filter/settings.h"
#include "prefs/recentlist.h"
#include "prefs/settingsfile.h"
#include "prefs/windowplace.h"

// The settings in force. Every window that edits a value writes it here at
// once and every reader asks here when it needs a value, so a change is in
// force for the next reader without any commit step.
class SettingsStore : public QObject, public navorel::SettingsTarget
{
    Q_OBJECT

public:
    explicit SettingsStore(QObject *parent = nullptr);

    const navorel::Settings &settings() const { return m_settings; }
    int value(navorel::SettingKey key) const;
    // Sets a value; emits valueChanged when it differs from the one held.
    void setValue(navorel::SettingKey key, int value) override;
    // Puts a value that acts on a window's layout into effect, changed or
    // not: the settings file does so on reading and writing.
    void apply(navorel::SettingKey key);
    // The values navorel.conf keeps rather than NAVRL.ini; each emits its
    // signal when it changes.
    void setTalkers(navorel::TalkerMode talkers);
    void setPortName(const std::string &name);
    // A live survey's goal: [Survey] TargetR95, MinMinutes, StopWhenReached
    // and SaveWhenReached of from.
    void setSurvey(const navorel::Settings &from);
    void setMinQuality(navorel::MinQuality minimum);
    void setChecksums(navorel::ChecksumMode mode);
    // Every navorel.conf value of read, as a file read gives them.
    void setConfValues(const navorel::Settings &read);

    // What navorel.conf keeps of the desktop: the files last used and the
    // window's places and sizes. Read once at start-up, written with the rest.
    const navorel::RecentList &recent() const { return m_recent; }
    void addRecent(const std::string &path);
    const navorel::WindowPlace &windowPlace() const { return m_windowPlace; }
    void setWindowPlace(const navorel::WindowPlace &place) { m_windowPlace = place; }
    // A start-up's read of navorel.conf: both, then desktopRead.
    void setDesktop(const navorel::RecentList &recent, const navorel::WindowPlace &place);

signals:
    void desktopRead();
    void recentChanged();
    void valueChanged(navorel::SettingKey key, int value);
    void applied(navorel::SettingKey key, int value);
    void talkersChanged(navorel::TalkerMode talkers);
    void portNameChanged(const std::string &name);
    void minQualityChanged(navorel::MinQuality minimum);
    void checksumsChanged(navorel::ChecksumMode mode);
    void surveyChanged();

private:
    navorel::Settings m_settings;
    navorel::RecentList m_recent;
    navorel::WindowPlace m_windowPlace;
};
