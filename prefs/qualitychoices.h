#pragma once

#include <QGroupBox>

#include "filter/fixquality.h"

class QComboBox;
class SettingsStore;

// The fix quality a fix needs to count, and whether sentences with a wrong
// checksum are left out: on the Filter page of the preferences, kept in
// navorel.conf. A choice is in force at once, as the dialog's others are.
class QualityChoices : public QGroupBox
{
    Q_OBJECT

public:
    QualityChoices(SettingsStore &settings, QWidget *parent = nullptr);

    QComboBox *minQuality() const { return m_minQuality; }
    QComboBox *checksums() const { return m_checksums; }

private:
    void showMinQuality(navorel::MinQuality minimum);
    void showChecksums(navorel::ChecksumMode mode);

    SettingsStore &m_settings;
    QComboBox *m_minQuality;
    QComboBox *m_checksums;
};
