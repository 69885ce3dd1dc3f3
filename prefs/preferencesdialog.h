#pragma once

#include <QDialog>
#include <QSpinBox>

#include "prefs/settingsfile.h"

class Prompter;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QualityChoices;
class SurveyChoices;
class SettingsStore;

// The satellites time range: 1 to 60 minutes. A typed value outside goes to
// the nearer bound when the box loses the focus; a text that is not a
// whole number reads as 1.
class SatTimeSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit SatTimeSpinBox(QWidget *parent = nullptr);

protected:
    QValidator::State validate(QString &text, int &position) const override;
    void fixup(QString &text) const override;
    int valueFromText(const QString &text) const override;
};

// The preferences dialog. Its controls show the settings in force and
// change them at once; OK and Apply write the settings file, Cancel reads
// it back. The settings file is read when the dialog is made, at start-up.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    PreferencesDialog(SettingsStore &settings, Prompter &prompter, const QString &filePath,
                      QWidget *parent = nullptr);

    // Writes the settings file, and navorel.conf beside it, from the
    // settings in force; false when one cannot be written (after the error
    // report).
    bool saveINI();
    // Reads the settings file into the settings; false when it could not
    // be read to its end (after the message). navorel.conf beside it is
    // read as well; missing or unreadable, it gives the defaults quietly.
    bool openINI();

    QString filePath() const { return m_filePath; }
    QString confFilePath() const;
    QCheckBox *checkBox(navorel::SettingKey key) const;
    QRadioButton *identifier(int position) const;
    SatTimeSpinBox *satTime() const { return m_cseTime; }
    QComboBox *talkers() const { return m_cobTalkers; }
    QualityChoices *quality() const { return m_quality; }
    SurveyChoices *survey() const { return m_survey; }
    QPushButton *okButton() const { return m_buttonOk; }
    QPushButton *cancelButton() const { return m_buttonCancel; }
    QPushButton *applyButton() const { return m_buttonApply; }

    void ButtonOkClick();
    void ButtonApplyClick();
    void ButtonCancelClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    class FileTarget;

    void FormCreate();
    void RG_IDFClick();
    void CB_GSAClick();
    void CB_SatClick();
    // The enable rules of the identifier and of "$GPGSA", kept in one place.
    void enableForIdentifier(int identifier);
    void enableForGsa(bool on);
    void showValue(navorel::SettingKey key, int value);
    void showTalkers(navorel::TalkerMode talkers);
    void readConf();
    bool writeConf();

    SettingsStore &m_settings;
    Prompter &m_prompter;
    QString m_filePath;
    bool m_desktopRead = false;

    QButtonGroup *m_rgIdf = nullptr;
    QRadioButton *m_rmc = nullptr;
    QRadioButton *m_gga = nullptr;
    QCheckBox *m_cbGsa = nullptr;
    QCheckBox *m_cbValid = nullptr;
    QCheckBox *m_cbUtc = nullptr;
    QCheckBox *m_cbAccuracy = nullptr;
    QCheckBox *m_cbSat = nullptr;
    SatTimeSpinBox *m_cseTime = nullptr;
    QComboBox *m_cobTalkers = nullptr;
    QualityChoices *m_quality = nullptr;
    SurveyChoices *m_survey = nullptr;
    QCheckBox *m_cbToolbar = nullptr;
    QCheckBox *m_cbProgressbar = nullptr;
    QCheckBox *m_cbResultpage = nullptr;
    QCheckBox *m_cbRs232clr = nullptr;
    QPushButton *m_buttonOk = nullptr;
    QPushButton *m_buttonCancel = nullptr;
    QPushButton *m_buttonApply = nullptr;
};
