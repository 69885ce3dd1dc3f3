#pragma once

#include <QGroupBox>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class SettingsStore;

// The goal of a live survey while receiving: the radius the mean must be
// within with 95 % confidence, the least time of fixes, and whether
// receiving stops and the log is saved once the goal is reached. Kept in
// navorel.conf [Survey]; a choice is in force at once, as the dialog's
// others are.
class SurveyChoices : public QGroupBox
{
    Q_OBJECT

public:
    SurveyChoices(SettingsStore &settings, QWidget *parent = nullptr);

    QDoubleSpinBox *target() const { return m_target; }
    QSpinBox *minutes() const { return m_minutes; }
    QCheckBox *stop() const { return m_stop; }
    QLineEdit *saveAs() const { return m_saveAs; }

private:
    void show();
    void take();

    SettingsStore &m_settings;
    QDoubleSpinBox *m_target;
    QSpinBox *m_minutes;
    QCheckBox *m_stop;
    QLineEdit *m_saveAs;
};
