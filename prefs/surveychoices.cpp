#include "prefs/surveychoices.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "prefs/confsettings.h"
#include "prefs/settingsstore.h"
#include "ui/hints.h"

SurveyChoices::SurveyChoices(SettingsStore &settings, QWidget *parent)
        : QGroupBox(QStringLiteral(" Survey "), parent), m_settings(settings),
          m_target(new QDoubleSpinBox(this)), m_minutes(new QSpinBox(this)),
          m_stop(new QCheckBox(QStringLiteral("Stop receiving when reached"), this)),
          m_saveAs(new QLineEdit(this))
{
    setObjectName(QStringLiteral("GB_Survey"));
    const QString targetHint = QStringLiteral(
        "How close the mean must be|The goal is reached when the true position lies within this distance of "
        "the mean with 95 % probability, allowing for fixes that are not independent, and has stayed so over "
        "the last tenth of the time and at least a minute");
    const QString minutesHint =
        QStringLiteral("The least time of fixes|No goal is reached before the fixes span this many minutes");
    const QString saveHint = QStringLiteral(
        "Where the log goes when the goal stops receiving|Empty: the log stays in the window unsaved. A file "
        "there already is replaced only when you say so");
    hintedLabel(this, "Label_TargetR95", QStringLiteral("Target radius (95 %)"), QPoint(7, 22), targetHint);
    m_target->setObjectName(QStringLiteral("SE_TargetR95"));
    m_target->setGeometry(150, 18, 95, 22);
    m_target->setRange(0.01, 1000.0);
    m_target->setDecimals(2);
    m_target->setSingleStep(0.05);
    m_target->setSuffix(QStringLiteral(" m"));
    setHint(m_target, targetHint);
    hintedLabel(this, "Label_MinMinutes", QStringLiteral("Minimum time"), QPoint(7, 52), minutesHint);
    m_minutes->setObjectName(QStringLiteral("SE_MinMinutes"));
    m_minutes->setGeometry(150, 48, 95, 22);
    m_minutes->setRange(0, navorel::kMostSurveyMinutes);
    m_minutes->setSuffix(QStringLiteral(" min"));
    setHint(m_minutes, minutesHint);
    m_stop->setObjectName(QStringLiteral("CB_StopWhenReached"));
    m_stop->setGeometry(7, 80, 280, 17);
    setHint(m_stop,
            QStringLiteral("Receiving stops by itself|The log ends with the fix that reached the goal"));
    hintedLabel(this, "Label_SaveWhenReached", QStringLiteral("Then save the log as"), QPoint(7, 106),
                saveHint);
    m_saveAs->setObjectName(QStringLiteral("ED_SaveWhenReached"));
    m_saveAs->setGeometry(7, 124, 283, 22);
    m_saveAs->setPlaceholderText(QStringLiteral("/home/me/base-station.nmea"));
    setHint(m_saveAs, saveHint);

    connect(m_target, &QDoubleSpinBox::valueChanged, this, &SurveyChoices::take);
    connect(m_minutes, &QSpinBox::valueChanged, this, &SurveyChoices::take);
    connect(m_stop, &QCheckBox::toggled, this, [this](bool on) {
        m_saveAs->setEnabled(on);
        take();
    });
    connect(m_saveAs, &QLineEdit::textEdited, this, &SurveyChoices::take);
    connect(&m_settings, &SettingsStore::surveyChanged, this, &SurveyChoices::show);
    show();
}

void SurveyChoices::show()
{
    const navorel::Settings &settings = m_settings.settings();
    const QSignalBlocker targetBlocked(m_target);
    const QSignalBlocker minutesBlocked(m_minutes);
    const QSignalBlocker stopBlocked(m_stop);
    m_target->setValue(settings.TargetR95);
    m_minutes->setValue(settings.MinMinutes);
    m_stop->setChecked(settings.StopWhenReached);
    m_saveAs->setEnabled(settings.StopWhenReached);
    m_saveAs->setText(QString::fromStdString(settings.SaveWhenReached));
}

void SurveyChoices::take()
{
    navorel::Settings goal = m_settings.settings();
    goal.TargetR95 = m_target->value();
    goal.MinMinutes = m_minutes->value();
    goal.StopWhenReached = m_stop->isChecked();
    goal.SaveWhenReached = m_saveAs->text().trimmed().toStdString();
    m_settings.setSurvey(goal);
}
