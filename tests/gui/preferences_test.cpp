#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/mainwindow.h"
#include "app/positionviews.h"
#include "app/precisionview.h"
#include "app/resultpage.h"
#include "filter/textfile.h"
#include "filter/textlines.h"
#include "prefs/preferencesdialog.h"
#include "prefs/qualitychoices.h"
#include "prefs/settingslocation.h"
#include "prefs/settingsstore.h"
#include "tests/defaultsettingslines.h"
#include "tests/gui/fakes.h"
#include "tests/gui/portablestart.h"
#include "ui/nmeatextarea.h"

using navorel::SettingKey;

namespace {

QStringList defaultLines()
{
    QStringList lines;
    for (const std::string &line : navorel::test::defaultSettingsLines())
        lines.append(QString::fromStdString(line));
    return lines;
}

// The place of a setting's line in the file ("SatTime" for SatTime=15).
qsizetype lineOf(const QString &key)
{
    const QStringList lines = defaultLines();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(key + QLatin1Char('=')))
            return i;
    }
    qFatal("no line for %s", qPrintable(key));
}

// The file with the setting's line reading key=value.
QStringList withLine(const QString &key, const QString &value, QStringList lines = defaultLines())
{
    lines[lineOf(key)] = key + QLatin1Char('=') + value;
    return lines;
}

} // namespace

class PreferencesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartWithoutAFileUsesTheDefaultsAndWritesThemAtExit();
    void roundTripKeepsEveryValue();
    void sectionsOutOfOrderStopAfterTheToolBar();
    void swappedAndShiftedLinesAreTakenByPlace();
    void helpLineIsOnOnlyWithTrueInIt();
    void satTimeFromTheFileIsBroughtIntoRange();
    void cancelAfterApplyRestoresTheAppliedValues();
    void closeBoxKeepsAChangeWithoutWriting();
    void gsaAndSatGreyEachOther();
    void loadingRunsTheClickRulesInOrder();
    void identifierGgaGreysValidAndTheNextRunUsesIt();
    void showToolbarActsOnApply();
    void enterAndEscDoNotCloseTheDialog();
    void unwritableFileKeepsTheDialogOpen();
    void fileLivesBesideTheProgramOrInTheConfigFolder();

private:
    // Makes the windows anew, reading the settings file as a start does.
    void start();
    void writeLines(const QStringList &lines);
    QStringList fileLines();

    PortableStart *m_start = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_path;
    SettingsStore *m_settings = nullptr;
    FakeDialogs *m_dialogs = nullptr;
    FakePrompter *m_prompter = nullptr;
    MainWindow *m_window = nullptr;
    PreferencesDialog *m_preferences = nullptr;
};

void PreferencesTest::init()
{
    m_start = new PortableStart();
    m_dir = &m_start->dir();
    m_path = m_start->path();
    m_dialogs = &m_start->dialogs();
}

void PreferencesTest::cleanup()
{
    delete m_start;
    m_start = nullptr;
    m_window = nullptr;
    m_prompter = nullptr;
    m_settings = nullptr;
}

void PreferencesTest::start()
{
    m_start->start();
    m_settings = m_start->settings();
    m_prompter = m_start->prompter();
    m_window = m_start->window();
    m_preferences = m_start->preferences();
}

void PreferencesTest::writeLines(const QStringList &lines)
{
    navorel::writeFileReplacing(m_path.toStdString(),
                                (lines.join(QStringLiteral("\r\n")) + "\r\n").toStdString());
}

QStringList PreferencesTest::fileLines()
{
    std::string bytes;
    navorel::readFileBytes(m_path.toStdString(), bytes);
    const navorel::TextLines lines = navorel::TextLines::fromText(bytes);
    QStringList result;
    for (std::size_t i = 0; i < lines.size(); ++i)
        result.append(QString::fromLatin1(lines[i].data(), static_cast<qsizetype>(lines[i].size())));
    return result;
}

void PreferencesTest::firstStartWithoutAFileUsesTheDefaultsAndWritesThemAtExit()
{
    start();
    QCOMPARE(m_prompter->messages, QStringList(QStringLiteral("Wrong INI File. Check the Preferences.")));
    QVERIFY(m_prompter->errors.isEmpty());
    QCOMPARE(m_settings->settings(), navorel::Settings());
    QVERIFY(!QFileInfo::exists(m_path));

    m_window->close();
    QStringList written = fileLines();
    QCOMPARE(written.size(), 28);
    QVERIFY(written[1].startsWith(QStringLiteral("; ")));
    written[1] = QStringLiteral("; credit");
    QCOMPARE(written, defaultLines());
    std::string bytes;
    navorel::readFileBytes(m_path.toStdString(), bytes);
    QVERIFY(QByteArray::fromStdString(bytes).endsWith("Stop=0\r\n"));
}

void PreferencesTest::roundTripKeepsEveryValue()
{
    start();
    const std::pair<SettingKey, int> changes[] = {
        {SettingKey::Progress, 0}, {SettingKey::COMclr, 1},   {SettingKey::IDF, 1},
        {SettingKey::UTC, 0},      {SettingKey::SatTime, 42}, {SettingKey::Baud, 10},
        {SettingKey::Data, 0},     {SettingKey::Parity, 3},   {SettingKey::Stop, 1},
    };
    for (const auto &[key, value] : changes)
        m_settings->setValue(key, value);
    m_window->actions().helpBubbles->trigger();
    const navorel::Settings stored = m_settings->settings();
    QCOMPARE(stored.Port, -1);
    QVERIFY(m_preferences->saveINI());
    QVERIFY(fileLines().contains(QStringLiteral("Port=-1")));

    start();
    QVERIFY(m_prompter->messages.isEmpty());
    QVERIFY(m_prompter->errors.isEmpty());
    QCOMPARE(m_settings->settings(), stored);
    QVERIFY(!m_window->actions().helpBubbles->isChecked());
    QVERIFY(m_preferences->identifier(1)->isChecked());
    QCOMPARE(m_preferences->satTime()->value(), 42);
    QVERIFY(!m_preferences->checkBox(SettingKey::UTC)->isChecked());
}

void PreferencesTest::sectionsOutOfOrderStopAfterTheToolBar()
{
    QStringList lines = defaultLines();
    QStringList reordered = lines.mid(0, 10) + lines.mid(13, 9) + lines.mid(10, 3) + lines.mid(22);
    reordered.replace(reordered.indexOf(QStringLiteral("ToolBar=true")), QStringLiteral("ToolBar=false"));
    reordered.replace(reordered.indexOf(QStringLiteral("IDF=RMC")), QStringLiteral("IDF=GGA"));
    writeLines(reordered);
    start();
    QCOMPARE(m_prompter->errors.size(), 1);
    QVERIFY(m_prompter->errors[0].contains(QStringLiteral("[Filter]")));
    QVERIFY(m_window->toolBar()->isHidden());
    QCOMPARE(m_settings->settings().ToolBar, false);
    QCOMPARE(m_settings->settings().IDF, navorel::PositionSentence::RMC);
}

void PreferencesTest::swappedAndShiftedLinesAreTakenByPlace()
{
    QStringList swapped = defaultLines();
    swapped[lineOf(QStringLiteral("Progress"))] = QStringLiteral("Respage=false");
    swapped[lineOf(QStringLiteral("Respage"))] = QStringLiteral("Progress=true");
    writeLines(swapped);
    start();
    QVERIFY(!m_preferences->checkBox(SettingKey::Progress)->isChecked());
    QVERIFY(m_preferences->checkBox(SettingKey::Respage)->isChecked());

    QStringList shifted = defaultLines();
    shifted[lineOf(QStringLiteral("Respage"))] = QStringLiteral("Respage=false");
    shifted[lineOf(QStringLiteral("COMclr"))] = QStringLiteral("COMclr=true");
    shifted.insert(lineOf(QStringLiteral("Help")), QString());
    writeLines(shifted);
    start();
    QVERIFY(m_prompter->errors.isEmpty());
    QVERIFY(!m_window->actions().helpBubbles->isChecked());
    QVERIFY(m_preferences->checkBox(SettingKey::Progress)->isChecked());
    QVERIFY(!m_preferences->checkBox(SettingKey::COMclr)->isChecked());
}

void PreferencesTest::helpLineIsOnOnlyWithTrueInIt()
{
    const std::pair<const char *, bool> cases[] = {
        {"True", false}, {"TRUE", false}, {"untrue", true}, {"true", true}};
    for (const auto &[value, on] : cases) {
        writeLines(withLine(QStringLiteral("Help"), QString::fromLatin1(value)));
        start();
        QCOMPARE(m_window->actions().helpBubbles->isChecked(), on);
        QCOMPARE(m_settings->settings().Help, on);
    }
}

void PreferencesTest::satTimeFromTheFileIsBroughtIntoRange()
{
    const std::pair<const char *, int> cases[] = {{"99", 60}, {"0", 1}, {"  20", 20}, {"20 ", 15}};
    for (const auto &[value, minutes] : cases) {
        writeLines(withLine(QStringLiteral("SatTime"), QString::fromLatin1(value)));
        start();
        QCOMPARE(m_preferences->satTime()->value(), minutes);
        QCOMPARE(m_settings->settings().SatTime, minutes);
        QCOMPARE(m_prompter->errors.size(), minutes == 15 ? 1 : 0);
    }
    // Typed: a text that is not a number reads as 1, a big one as 60.
    for (const auto &[typed, minutes] : {std::pair{"abc", 1}, {"99", 60}, {"7", 7}}) {
        m_preferences->satTime()->findChild<QLineEdit *>()->setText(QString::fromLatin1(typed));
        m_preferences->satTime()->interpretText();
        QCOMPARE(m_settings->settings().SatTime, minutes);
    }
}

void PreferencesTest::cancelAfterApplyRestoresTheAppliedValues()
{
    start();
    m_preferences->show();
    m_preferences->checkBox(SettingKey::UTC)->click();
    m_preferences->satTime()->setValue(25);
    m_preferences->applyButton()->click();
    QVERIFY(m_preferences->isVisible());

    m_preferences->checkBox(SettingKey::UTC)->click();
    m_preferences->checkBox(SettingKey::Acc)->click();
    m_preferences->satTime()->setValue(40);
    m_settings->setValue(SettingKey::Port, 2); // chosen in the serial settings window
    QCOMPARE(m_settings->settings().UTC, true);
    m_preferences->cancelButton()->click();
    QVERIFY(!m_preferences->isVisible());
    QCOMPARE(m_settings->settings().UTC, false);
    QCOMPARE(m_settings->settings().Acc, true);
    QCOMPARE(m_settings->settings().SatTime, 25);
    QCOMPARE(m_settings->settings().Port, -1);
    QVERIFY(!m_preferences->checkBox(SettingKey::UTC)->isChecked());
    QCOMPARE(m_preferences->satTime()->value(), 25);
}

void PreferencesTest::closeBoxKeepsAChangeWithoutWriting()
{
    writeLines(defaultLines());
    start();
    m_preferences->show();
    m_preferences->satTime()->setValue(30);
    m_preferences->identifier(1)->click();
    m_preferences->close();
    QVERIFY(!m_preferences->isVisible());
    QCOMPARE(m_settings->settings().SatTime, 30);
    QCOMPARE(fileLines(), defaultLines());

    m_window->close();
    QVERIFY(fileLines().contains(QStringLiteral("SatTime=30")));
    QVERIFY(fileLines().contains(QStringLiteral("IDF=GGA")));
}

void PreferencesTest::gsaAndSatGreyEachOther()
{
    writeLines(defaultLines());
    start();
    QCheckBox *gsa = m_preferences->checkBox(SettingKey::GSA);
    QCheckBox *sat = m_preferences->checkBox(SettingKey::Sat);
    sat->click();
    QVERIFY(!gsa->isEnabled());
    QVERIFY(!m_preferences->satTime()->isEnabled());
    QVERIFY(gsa->isChecked());
    sat->click();
    QVERIFY(gsa->isEnabled());
    QVERIFY(m_preferences->satTime()->isEnabled());
    gsa->click();
    QVERIFY(!sat->isEnabled());
    QVERIFY(!m_preferences->satTime()->isEnabled());
    QCOMPARE(m_settings->settings().GSA, false);
}

void PreferencesTest::loadingRunsTheClickRulesInOrder()
{
    const struct
    {
        bool gsa, sat;
        bool gsaEnabled, satEnabled, timeEnabled;
    } table[] = {
        {true, true, true, true, true},
        {false, true, true, false, false},
        {true, false, false, true, false},
        {false, false, false, false, false},
    };
    for (const auto &row : table) {
        const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
        writeLines(
            withLine(QStringLiteral("Sat"), flag(row.sat), withLine(QStringLiteral("GSA"), flag(row.gsa))));
        start();
        QCOMPARE(m_preferences->checkBox(SettingKey::GSA)->isEnabled(), row.gsaEnabled);
        QCOMPARE(m_preferences->checkBox(SettingKey::Sat)->isEnabled(), row.satEnabled);
        QCOMPARE(m_preferences->satTime()->isEnabled(), row.timeEnabled);
    }
}

void PreferencesTest::identifierGgaGreysValidAndTheNextRunUsesIt()
{
    start();
    m_preferences->identifier(1)->click();
    QCheckBox *valid = m_preferences->checkBox(SettingKey::Valid);
    QVERIFY(!valid->isEnabled());
    QVERIFY(valid->isChecked());
    m_preferences->identifier(0)->click();
    QVERIFY(valid->isEnabled());
    m_preferences->identifier(1)->click();
    m_preferences->close();

    m_window->textArea()->setBytes("$GPGGA,101500.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*61");
    m_window->actions().filter->trigger();
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(),
             QStringLiteral(" North latitude : 48\u00B0 07,0380'"));
}

void PreferencesTest::showToolbarActsOnApply()
{
    start();
    m_window->show();
    m_preferences->show();
    m_preferences->checkBox(SettingKey::ToolBar)->click();
    QVERIFY(m_window->toolBar()->isVisible());
    m_preferences->applyButton()->click();
    QVERIFY(!m_window->toolBar()->isVisible());
    QVERIFY(m_preferences->isVisible());
    QVERIFY(fileLines().contains(QStringLiteral("ToolBar=false")));
}

void PreferencesTest::enterAndEscDoNotCloseTheDialog()
{
    writeLines(defaultLines());
    start();
    m_preferences->show();
    QTest::keyClick(m_preferences, Qt::Key_Escape);
    QTest::keyClick(m_preferences, Qt::Key_Return);
    QVERIFY(m_preferences->isVisible());
    QCOMPARE(fileLines(), defaultLines());
}

void PreferencesTest::unwritableFileKeepsTheDialogOpen()
{
    start();
    delete m_preferences;
    m_preferences = new PreferencesDialog(*m_settings, *m_prompter,
                                          QStringLiteral("/nonexistent-folder/NAVRL.ini"), m_window);
    m_preferences->show();
    m_prompter->errors.clear();
    m_preferences->okButton()->click();
    QCOMPARE(m_prompter->errors.size(), 1);
    QVERIFY(m_preferences->isVisible());
}

void PreferencesTest::fileLivesBesideTheProgramOrInTheConfigFolder()
{
    const QString program = m_dir->filePath(QStringLiteral("bin"));
    const QString config = m_dir->filePath(QStringLiteral("config/Navorel"));
    QDir().mkpath(program);
    QCOMPARE(settingsFilePath(program, config), QDir(program).filePath(QStringLiteral("NAVRL.ini")));
    const QString missing = m_dir->filePath(QStringLiteral("no-such-folder"));
    QCOMPARE(settingsFilePath(missing, config), QDir(config).filePath(QStringLiteral("NAVRL.ini")));
    QVERIFY(QFileInfo(config).isDir());
}

QTEST_MAIN(PreferencesTest)
#include "preferences_test.moc"
