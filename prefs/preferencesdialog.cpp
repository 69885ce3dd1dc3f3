#include "prefs/preferencesdialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "filter/textfile.h"
#include "prefs/confsettings.h"
#include "prefs/qualitychoices.h"
#include "prefs/settingsstore.h"
#include "prefs/surveychoices.h"
#include "ui/formfont.h"
#include "ui/hints.h"
#include "ui/prompter.h"
#include "ui/textcodec.h"

using navorel::SettingKey;

SatTimeSpinBox::SatTimeSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setRange(navorel::kSatTimeMin, navorel::kSatTimeMax);
    setValue(15);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State SatTimeSpinBox::validate(QString &text, int &) const
{
    // Any typing is let through; the box settles the value when it is left.
    bool number = false;
    const int minutes = text.toInt(&number);
    if (number && minutes >= minimum() && minutes <= maximum() && text == QString::number(minutes))
        return QValidator::Acceptable;
    return QValidator::Intermediate;
}

void SatTimeSpinBox::fixup(QString &text) const
{
    text = QString::number(navorel::satTimeFromText(text.toStdString()));
}

int SatTimeSpinBox::valueFromText(const QString &text) const
{
    return navorel::satTimeFromText(text.toStdString());
}

// Gives the values read from the file to the settings in force, and applies
// what the file's reading applies beside: the hint display and the tool bar
// of the main window, and the enabling that follows the identifier and
// "$GPGSA" whatever they were before.
class PreferencesDialog::FileTarget : public navorel::SettingsTarget
{
public:
    explicit FileTarget(PreferencesDialog &dialog) : m_dialog(dialog) {}

    void setValue(SettingKey key, int value) override
    {
        m_dialog.m_settings.setValue(key, value);
        switch (key) {
        case SettingKey::Help:
        case SettingKey::ToolBar: m_dialog.m_settings.apply(key); break;
        case SettingKey::IDF: m_dialog.enableForIdentifier(value); break;
        case SettingKey::GSA: m_dialog.enableForGsa(value != 0); break;
        default: break;
        }
    }

private:
    PreferencesDialog &m_dialog;
};

namespace {

QCheckBox *makeCheckBox(QWidget *parent, const char *name, const QString &caption, const QRect &place,
                        const QString &hint)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place.x(), place.y(), std::max(place.width(), box->sizeHint().width()), place.height());
    box->setChecked(true);
    setHint(box, hint);
    return box;
}

} // namespace

PreferencesDialog::PreferencesDialog(SettingsStore &settings, Prompter &prompter, const QString &filePath,
                                     QWidget *parent)
        : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_settings(settings),
          m_prompter(prompter), m_filePath(filePath)
{
    setObjectName(QStringLiteral("TFormPref"));
    setWindowTitle(QStringLiteral("Preferences"));
    // 65 higher than the classic dialog: the fix quality and checksums
    // choices below the filter group.
    setFixedSize(332, 418);
    setFont(formFont());

    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->setGeometry(5, 5, 322, 362);

    auto *filterPage = new QWidget();
    filterPage->setObjectName(QStringLiteral("TBS_Filter"));
    pages->addTab(filterPage, QStringLiteral("Filter"));
    auto *identifierFrame = new QGroupBox(QStringLiteral(" Identifier "), filterPage);
    identifierFrame->setObjectName(QStringLiteral("RG_IDF"));
    identifierFrame->setGeometry(8, 8, 298, 85);
    setHint(identifierFrame, QStringLiteral("NMEA  selection"));
    m_rmc = new QRadioButton(QStringLiteral("$GPRMC"), identifierFrame);
    m_rmc->move(10, 24);
    m_gga = new QRadioButton(QStringLiteral("$GPGGA"), identifierFrame);
    m_gga->move(10, 50);
    m_rmc->setChecked(true);
    m_rgIdf = new QButtonGroup(this);
    m_rgIdf->addButton(m_rmc, 0);
    m_rgIdf->addButton(m_gga, 1);
    m_cbGsa = makeCheckBox(filterPage, "CB_GSA", QStringLiteral("$GPGSA"), QRect(148, 32, 97, 17),
                           QStringLiteral("Get number of active satellites"));

    auto *filterGroup = new QGroupBox(QStringLiteral(" Filter "), filterPage);
    filterGroup->setObjectName(QStringLiteral("GroupBox1"));
    filterGroup->setGeometry(8, 100, 298, 160);
    m_cbValid = makeCheckBox(filterGroup, "CB_Valid", QStringLiteral("RMC valid filtering"),
                             QRect(7, 24, 130, 17), QStringLiteral("Filter time value"));
    m_cbUtc = makeCheckBox(filterGroup, "CB_UTC", QStringLiteral("Filter actual UTC"), QRect(7, 48, 130, 17),
                           QStringLiteral("Filter UTC"));
    m_cbAccuracy = makeCheckBox(filterGroup, "CB_Accuracy", QStringLiteral("Calculate accuracy chart"),
                                QRect(140, 24, 146, 17), QStringLiteral("Calculate accuracy"));
    m_cbSat = makeCheckBox(filterGroup, "CB_Sat", QStringLiteral("Calculate satellites chart"),
                           QRect(140, 48, 145, 17), QStringLiteral("Calculate satellites chart"));
    hintedLabel(filterGroup, "Label1", QStringLiteral("satellites chart time range"), QPoint(140, 80),
                QStringLiteral("Tiem range for satellites chart"));
    m_cseTime = new SatTimeSpinBox(filterGroup);
    m_cseTime->setObjectName(QStringLiteral("CSE_Time"));
    m_cseTime->setGeometry(140, 96, 95, 22);
    setHint(m_cseTime, QStringLiteral("Tiem range for satellites chart"));
    hintedLabel(filterGroup, "Label2", QStringLiteral("min"), QPoint(240, 100),
                QStringLiteral("Tiem range for satellites chart"));
    // Not in NAVRL.ini: navorel.conf beside it keeps the choice.
    const QString talkersHint =
        QStringLiteral("Which receivers' sentences are read|All satellite systems: $GPRMC, $GNRMC, $GLRMC, "
                       "... of every talker, one fix per second, the satellites of all GSA sentences of a "
                       "second counted together. GPS only: the $GP sentences alone, as the classic program");
    hintedLabel(filterGroup, "Label3", QStringLiteral("Talkers"), QPoint(7, 108), talkersHint);
    m_cobTalkers = new QComboBox(filterGroup);
    m_cobTalkers->setObjectName(QStringLiteral("COB_Talkers"));
    m_cobTalkers->setGeometry(7, 127, 283, 22);
    m_cobTalkers->addItem(QStringLiteral("All satellite systems (GN, GP, GL, GA, GB \u2026)"),
                          static_cast<int>(navorel::TalkerMode::GNSS));
    m_cobTalkers->setItemData(0,
                              QStringLiteral("Multi-GNSS receivers: every talker, one fix per second, "
                                             "the satellites of all systems"),
                              Qt::ToolTipRole);
    m_cobTalkers->addItem(QStringLiteral("GPS only ($GP, classic)"),
                          static_cast<int>(navorel::TalkerMode::GPS));
    m_cobTalkers->setItemData(1,
                              QStringLiteral("$GPRMC, $GPGGA and $GPGSA only, each sentence counted as the "
                                             "classic program did"),
                              Qt::ToolTipRole);
    setHint(m_cobTalkers, talkersHint);
    m_quality = new QualityChoices(m_settings, filterPage);
    m_quality->setGeometry(8, 266, 298, 66);

    auto *surveyPage = new QWidget();
    surveyPage->setObjectName(QStringLiteral("TBS_Survey"));
    m_survey = new SurveyChoices(m_settings, surveyPage);
    m_survey->setGeometry(8, 8, 298, 160);

    auto *viewPage = new QWidget();
    viewPage->setObjectName(QStringLiteral("TBS_View"));
    pages->addTab(viewPage, QStringLiteral("View"));
    pages->addTab(surveyPage, QStringLiteral("Survey"));
    auto *interfaceGroup = new QGroupBox(QStringLiteral(" Interface "), viewPage);
    interfaceGroup->setObjectName(QStringLiteral("GroupBox2"));
    interfaceGroup->setGeometry(8, 8, 298, 324);
    m_cbToolbar = makeCheckBox(interfaceGroup, "CB_Toolbar", QStringLiteral("Show toolbar"),
                               QRect(8, 24, 97, 17), QStringLiteral("Toolbar visible"));
    m_cbProgressbar = makeCheckBox(interfaceGroup, "CB_Progressbar", QStringLiteral("Show progressbar"),
                                   QRect(8, 56, 113, 17), QStringLiteral("Progressbar visible"));
    m_cbResultpage =
        makeCheckBox(interfaceGroup, "CB_Resultpage", QStringLiteral("Show resultpage"),
                     QRect(8, 88, 121, 17), QStringLiteral("show resultpage after filter process"));
    m_cbRs232clr = makeCheckBox(
        interfaceGroup, "CB_RS232clr", QStringLiteral("Receive data with clr screen"), QRect(8, 120, 209, 17),
        QStringLiteral("Clear screen by starting receive fcn.|Clear screen by start receiving "
                       "data in main window"));
    m_cbRs232clr->setChecked(false);

    const auto button = [this](const char *name, const QString &caption, int left, const QString &hint) {
        auto *created = new QPushButton(caption, this);
        created->setObjectName(QLatin1String(name));
        created->setGeometry(left + 5, 380, 75, 25);
        // Neither Enter nor Esc is bound to a button.
        created->setAutoDefault(false);
        setHint(created, hint);
        return created;
    };
    m_buttonOk =
        button("ButtonOk", QStringLiteral("OK"), 74, QStringLiteral("Save settings an close dialog"));
    m_buttonCancel = button("ButtonCancel", QStringLiteral("Cancel"), 160, QStringLiteral("Abort settings"));
    m_buttonApply = button("ButtonApply", QStringLiteral("Apply"), 246, QStringLiteral("Save settings"));
    connect(m_buttonOk, &QPushButton::clicked, this, &PreferencesDialog::ButtonOkClick);
    connect(m_buttonCancel, &QPushButton::clicked, this, &PreferencesDialog::ButtonCancelClick);
    connect(m_buttonApply, &QPushButton::clicked, this, &PreferencesDialog::ButtonApplyClick);

    // A user's change is in force at once; a value from the file shows in
    // its control the same way and runs the control's rule.
    const std::pair<QCheckBox *, SettingKey> boxes[] = {
        {m_cbGsa, SettingKey::GSA},
        {m_cbValid, SettingKey::Valid},
        {m_cbUtc, SettingKey::UTC},
        {m_cbAccuracy, SettingKey::Acc},
        {m_cbSat, SettingKey::Sat},
        {m_cbToolbar, SettingKey::ToolBar},
        {m_cbProgressbar, SettingKey::Progress},
        {m_cbResultpage, SettingKey::Respage},
        {m_cbRs232clr, SettingKey::COMclr},
    };
    for (const auto &[box, key] : boxes) {
        connect(box, &QCheckBox::clicked, this,
                [this, key = key](bool checked) { m_settings.setValue(key, checked ? 1 : 0); });
    }
    connect(m_rgIdf, &QButtonGroup::idClicked, this,
            [this](int id) { m_settings.setValue(SettingKey::IDF, id); });
    connect(m_cseTime, &QSpinBox::valueChanged, this,
            [this](int minutes) { m_settings.setValue(SettingKey::SatTime, minutes); });
    connect(&m_settings, &SettingsStore::valueChanged, this, &PreferencesDialog::showValue);
    connect(m_cobTalkers, &QComboBox::activated, this, [this](int index) {
        m_settings.setTalkers(static_cast<navorel::TalkerMode>(m_cobTalkers->itemData(index).toInt()));
    });
    connect(&m_settings, &SettingsStore::talkersChanged, this, &PreferencesDialog::showTalkers);
    showTalkers(m_settings.settings().Talkers);

    FormCreate();
}

QCheckBox *PreferencesDialog::checkBox(SettingKey key) const
{
    switch (key) {
    case SettingKey::GSA: return m_cbGsa;
    case SettingKey::Valid: return m_cbValid;
    case SettingKey::UTC: return m_cbUtc;
    case SettingKey::Acc: return m_cbAccuracy;
    case SettingKey::Sat: return m_cbSat;
    case SettingKey::ToolBar: return m_cbToolbar;
    case SettingKey::Progress: return m_cbProgressbar;
    case SettingKey::Respage: return m_cbResultpage;
    case SettingKey::COMclr: return m_cbRs232clr;
    default: return nullptr;
    }
}

QRadioButton *PreferencesDialog::identifier(int position) const
{
    return position == 0 ? m_rmc : m_gga;
}

void PreferencesDialog::showValue(SettingKey key, int value)
{
    if (QCheckBox *box = checkBox(key)) {
        box->setChecked(value != 0);
        if (key == SettingKey::GSA)
            CB_GSAClick();
        else if (key == SettingKey::Sat)
            CB_SatClick();
    } else if (key == SettingKey::IDF) {
        identifier(value)->setChecked(true);
        RG_IDFClick();
    } else if (key == SettingKey::SatTime && m_cseTime->value() != value) {
        const QSignalBlocker quiet(m_cseTime);
        m_cseTime->setValue(value);
    }
}

void PreferencesDialog::showTalkers(navorel::TalkerMode talkers)
{
    m_cobTalkers->setCurrentIndex(m_cobTalkers->findData(static_cast<int>(talkers)));
}

QString PreferencesDialog::confFilePath() const
{
    return QFile::decodeName(QByteArray::fromStdString(navorel::confPathBeside(localPath(m_filePath))));
}

// What the file does not hold, or holds in a way this version does not
// know, is the default: navorel.conf is never worth an error box.
void PreferencesDialog::readConf()
{
    const navorel::ConfFile conf = navorel::ConfFile::read(localPath(confFilePath()));
    navorel::Settings read;
    navorel::readConfSettings(conf, read);
    m_settings.setConfValues(read);
    // The desktop's part once, at start-up: Cancel reads the settings again
    // but must not take back the files opened since.
    if (m_desktopRead)
        return;
    m_desktopRead = true;
    navorel::RecentList recent;
    navorel::readRecentList(conf, recent);
    navorel::WindowPlace place;
    navorel::readWindowPlace(conf, place);
    m_settings.setDesktop(recent, place);
}

// Keys of other versions or other parts of the program stay as they are.
bool PreferencesDialog::writeConf()
{
    const std::string path = localPath(confFilePath());
    navorel::ConfFile conf = navorel::ConfFile::read(path);
    navorel::writeConfSettings(conf, m_settings.settings());
    navorel::writeRecentList(conf, m_settings.recent());
    navorel::writeWindowPlace(conf, m_settings.windowPlace());
    if (conf.write(path))
        return true;
    m_prompter.errorBox(isVisible() ? this : nullptr, fillIn(navorel::kCannotCreateFile, confFilePath()));
    return false;
}

void PreferencesDialog::FormCreate()
{
    openINI();
}

// "Only valid data" means something for $GPRMC only.
void PreferencesDialog::enableForIdentifier(int identifier)
{
    m_cbValid->setEnabled(identifier == 0);
}

void PreferencesDialog::enableForGsa(bool on)
{
    m_cbSat->setEnabled(on);
    m_cseTime->setEnabled(on);
}

void PreferencesDialog::RG_IDFClick()
{
    enableForIdentifier(m_rgIdf->checkedId());
}

void PreferencesDialog::CB_GSAClick()
{
    enableForGsa(m_cbGsa->isChecked());
}

void PreferencesDialog::CB_SatClick()
{
    m_cbGsa->setEnabled(m_cbSat->isChecked());
    m_cseTime->setEnabled(m_cbSat->isChecked());
}

bool PreferencesDialog::saveINI()
{
    const navorel::Settings &settings = m_settings.settings();
    m_settings.apply(SettingKey::Help);
    m_settings.apply(SettingKey::ToolBar);
    if (!navorel::writeSettingsFile(localPath(m_filePath), settings)) {
        m_prompter.errorBox(isVisible() ? this : nullptr, fillIn(navorel::kCannotCreateFile, m_filePath));
        return false;
    }
    return writeConf();
}

bool PreferencesDialog::openINI()
{
    readConf();
    FileTarget target(*this);
    const navorel::SettingsFileRead read = navorel::readSettingsFile(localPath(m_filePath), target);
    switch (read.status) {
    case navorel::SettingsFileRead::Status::Read: return true;
    case navorel::SettingsFileRead::Status::WrongFile:
        m_prompter.messageBox(isVisible() ? this : nullptr, fromWindows1252(read.errorString));
        return true;
    case navorel::SettingsFileRead::Status::Failed: break;
    }
    QString message = fromWindows1252(read.errorString);
    if (read.errorLine > 0)
        message = m_filePath + QStringLiteral(", line ") + QString::number(read.errorLine)
                  + QStringLiteral(":\n") + message;
    m_prompter.errorBox(isVisible() ? this : nullptr, message);
    return false;
}

void PreferencesDialog::ButtonOkClick()
{
    if (saveINI())
        accept();
}

void PreferencesDialog::ButtonApplyClick()
{
    saveINI();
}

void PreferencesDialog::ButtonCancelClick()
{
    if (openINI())
        reject();
}

void PreferencesDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->ignore(); return;
    default: QDialog::keyPressEvent(event);
    }
}
