#pragma once

#include <QObject>

#include "filter/settings.h"
#include "prefs/settingsfile.h"

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
    void setMinQuality(navorel::MinQuality minimum);
    void setChecksums(navorel::ChecksumMode mode);
    // Every navorel.conf value of read, as a file read gives them.
    void setConfValues(const navorel::Settings &read);

signals:
    void valueChanged(navorel::SettingKey key, int value);
    void applied(navorel::SettingKey key, int value);
    void talkersChanged(navorel::TalkerMode talkers);
    void portNameChanged(const std::string &name);
    void minQualityChanged(navorel::MinQuality minimum);
    void checksumsChanged(navorel::ChecksumMode mode);

private:
    navorel::Settings m_settings;
};
