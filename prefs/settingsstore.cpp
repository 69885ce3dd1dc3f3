#include "prefs/settingsstore.h"

SettingsStore::SettingsStore(QObject *parent) : QObject(parent) {}

int SettingsStore::value(navorel::SettingKey key) const
{
    return navorel::settingValue(m_settings, key);
}

void SettingsStore::setValue(navorel::SettingKey key, int value)
{
    if (navorel::settingValue(m_settings, key) == value)
        return;
    navorel::SettingsRecordTarget(m_settings).setValue(key, value);
    emit valueChanged(key, value);
}

void SettingsStore::apply(navorel::SettingKey key)
{
    emit applied(key, value(key));
}

void SettingsStore::setTalkers(navorel::TalkerMode talkers)
{
    if (m_settings.Talkers == talkers)
        return;
    m_settings.Talkers = talkers;
    emit talkersChanged(talkers);
}

void SettingsStore::setPortName(const std::string &name)
{
    if (m_settings.PortName == name)
        return;
    m_settings.PortName = name;
    emit portNameChanged(name);
}

void SettingsStore::setMinQuality(navorel::MinQuality minimum)
{
    if (m_settings.MinQuality == minimum)
        return;
    m_settings.MinQuality = minimum;
    emit minQualityChanged(minimum);
}

void SettingsStore::setChecksums(navorel::ChecksumMode mode)
{
    if (m_settings.Checksums == mode)
        return;
    m_settings.Checksums = mode;
    emit checksumsChanged(mode);
}

void SettingsStore::setConfValues(const navorel::Settings &read)
{
    setTalkers(read.Talkers);
    setPortName(read.PortName);
    setMinQuality(read.MinQuality);
    setChecksums(read.Checksums);
    setSurvey(read);
}

void SettingsStore::setSurvey(const navorel::Settings &from)
{
    if (m_settings.TargetR95 == from.TargetR95 && m_settings.MinMinutes == from.MinMinutes
        && m_settings.StopWhenReached == from.StopWhenReached
        && m_settings.SaveWhenReached == from.SaveWhenReached)
        return;
    m_settings.TargetR95 = from.TargetR95;
    m_settings.MinMinutes = from.MinMinutes;
    m_settings.StopWhenReached = from.StopWhenReached;
    m_settings.SaveWhenReached = from.SaveWhenReached;
    emit surveyChanged();
}

void SettingsStore::addRecent(const std::string &path)
{
    const navorel::RecentList before = m_recent;
    m_recent.add(path);
    if (!(m_recent == before))
        emit recentChanged();
}

void SettingsStore::setDesktop(const navorel::RecentList &recent, const navorel::WindowPlace &place)
{
    m_recent = recent;
    m_windowPlace = place;
    emit desktopRead();
    emit recentChanged();
}
