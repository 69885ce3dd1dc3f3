#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "app/mainwindow.h"
#include "app/positionviews.h"
#include "app/precisionview.h"
#include "app/resultpage.h"
#include "filter/textfile.h"
#include "prefs/preferencesdialog.h"
#include "prefs/qualitychoices.h"
#include "prefs/settingsfile.h"
#include "prefs/settingsstore.h"
#include "prefs/surveychoices.h"
#include "tests/gui/fakes.h"
#include "tests/gui/portablestart.h"
#include "ui/nmeatextarea.h"

// The choices of the preferences that navorel.conf keeps beside NAVRL.ini.
class ConfChoicesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void talkersChoiceLivesInNavorelConf();
    void qualityChoicesLiveInNavorelConf();
    void surveyGoalLivesInNavorelConf();

private:
    // Makes the windows anew, reading the settings file as a start does.
    void start();

    PortableStart *m_start = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_path;
    SettingsStore *m_settings = nullptr;
    FakeDialogs *m_dialogs = nullptr;
    FakePrompter *m_prompter = nullptr;
    MainWindow *m_window = nullptr;
    PreferencesDialog *m_preferences = nullptr;
};

void ConfChoicesTest::init()
{
    m_start = new PortableStart();
    m_dir = &m_start->dir();
    m_path = m_start->path();
    m_dialogs = &m_start->dialogs();
}

void ConfChoicesTest::cleanup()
{
    delete m_start;
    m_start = nullptr;
    m_window = nullptr;
    m_prompter = nullptr;
    m_settings = nullptr;
}

void ConfChoicesTest::start()
{
    m_start->start();
    m_settings = m_start->settings();
    m_prompter = m_start->prompter();
    m_window = m_start->window();
    m_preferences = m_start->preferences();
}

void ConfChoicesTest::talkersChoiceLivesInNavorelConf()
{
    // NAVRL.ini as this program writes it, and a key another part keeps.
    QVERIFY(navorel::writeSettingsFile(m_path.toStdString(), navorel::Settings()));
    std::string ini;
    QVERIFY(navorel::readFileBytes(m_path.toStdString(), ini));
    const std::string conf = m_dir->filePath(QStringLiteral("navorel.conf")).toStdString();
    QVERIFY(navorel::writeFileReplacing(conf, "[COM]\nPortName=/dev/ttyUSB0\n"));
    const auto fileText = [](const std::string &path) {
        std::string bytes;
        navorel::readFileBytes(path, bytes);
        return bytes;
    };

    start();
    QComboBox *talkers = m_preferences->talkers();
    QCOMPARE(m_settings->settings().Talkers, navorel::TalkerMode::GNSS);
    QCOMPARE(talkers->currentIndex(), 0);

    // "GPS only" is in force at once, and written beside NAVRL.ini on Apply.
    m_preferences->show();
    QTest::keyClick(talkers, Qt::Key_Down);
    QCOMPARE(m_settings->settings().Talkers, navorel::TalkerMode::GPS);
    m_window->textArea()->setBytes("$GNRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*14");
    m_window->actions().filter->trigger();
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(), QStringLiteral(" North latitude : error"));
    m_preferences->applyButton()->click();
    const std::string kept =
        "[COM]\nPortName=/dev/ttyUSB0\n\n[Filter]\nTalkers=GPS\nMinQuality=any\nChecksums=\n"
        "\n[Survey]\nTargetR95=0.5\nMinMinutes=30\nStopWhenReached=false\nSaveWhenReached=\n";
    QCOMPARE(fileText(conf), kept);
    QCOMPARE(fileText(m_path.toStdString()), ini);

    // Cancel brings back what was applied.
    QTest::keyClick(talkers, Qt::Key_Up);
    QCOMPARE(m_settings->settings().Talkers, navorel::TalkerMode::GNSS);
    m_preferences->cancelButton()->click();
    QCOMPARE(m_settings->settings().Talkers, navorel::TalkerMode::GPS);
    QCOMPARE(talkers->currentIndex(), 1);

    // A new start reads it back; the exit writes both files unchanged.
    start();
    QCOMPARE(m_settings->settings().Talkers, navorel::TalkerMode::GPS);
    QCOMPARE(m_preferences->talkers()->currentIndex(), 1);
    m_window->close();
    QCOMPARE(fileText(m_path.toStdString()), ini);
    // The window's place comes after what was there.
    QCOMPARE(fileText(conf).substr(0, kept.size() + 10), kept + "\n[Window]\n");

    // A value this version does not know, or a file that cannot be read,
    // means the default, without a word.
    QVERIFY(navorel::writeFileReplacing(conf, "[Filter]\nTalkers=Galileo\n"));
    start();
    QCOMPARE(m_settings->settings().Talkers, navorel::TalkerMode::GNSS);
    m_settings->setTalkers(navorel::TalkerMode::GPS);
    QVERIFY(QFile::remove(QString::fromStdString(conf)));
    QVERIFY(QDir().mkdir(QString::fromStdString(conf)));
    m_preferences->cancelButton()->click();
    QCOMPARE(m_settings->settings().Talkers, navorel::TalkerMode::GNSS);
    QVERIFY(m_prompter->messages.isEmpty());
    QVERIFY(m_prompter->errors.isEmpty());
}

void ConfChoicesTest::qualityChoicesLiveInNavorelConf()
{
    QVERIFY(navorel::writeSettingsFile(m_path.toStdString(), navorel::Settings()));
    std::string ini;
    QVERIFY(navorel::readFileBytes(m_path.toStdString(), ini));
    const std::string conf = m_dir->filePath(QStringLiteral("navorel.conf")).toStdString();
    const auto fileText = [](const std::string &path) {
        std::string bytes;
        navorel::readFileBytes(path, bytes);
        return bytes;
    };

    start();
    QComboBox *minimum = m_preferences->quality()->minQuality();
    QComboBox *checksums = m_preferences->quality()->checksums();
    QCOMPARE(minimum->currentText(), QStringLiteral("Any fix"));
    QCOMPARE(checksums->currentText(), QStringLiteral("Default"));
    m_preferences->show();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(minimum, Qt::Key_Down);
    QTest::keyClick(checksums, Qt::Key_Down);
    QCOMPARE(minimum->currentText(), QStringLiteral("RTK fixed only"));
    QCOMPARE(m_settings->settings().MinQuality, navorel::MinQuality::RtkFixed);
    QCOMPARE(m_settings->settings().Checksums, navorel::ChecksumMode::Verify);

    // In force at once: of an autonomous and an RTK fixed fix, one is left.
    m_window->textArea()->setBytes("$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.0,0.0,081226,,,A*56\r\n"
                                   "$GPRMC,101501.00,A,4807.0381,N,01131.0000,E,0.0,0.0,081226,,,R*45\r\n");
    m_window->actions().filter->trigger();
    QCOMPARE(m_window->positionViews()->precisionView()->figures().fixes, std::size_t{1});

    // Written to navorel.conf on Apply, never to NAVRL.ini; read back at the next start.
    m_preferences->applyButton()->click();
    QCOMPARE(fileText(conf),
             "[Filter]\nTalkers=GNSS\nMinQuality=rtk-fixed\nChecksums=verify\n\n[COM]\nPortName=\n"
             "\n[Survey]\nTargetR95=0.5\nMinMinutes=30\nStopWhenReached=false\nSaveWhenReached=\n");
    QCOMPARE(fileText(m_path.toStdString()), ini);
    start();
    QCOMPARE(m_settings->settings().MinQuality, navorel::MinQuality::RtkFixed);
    QCOMPARE(m_preferences->quality()->minQuality()->currentText(), QStringLiteral("RTK fixed only"));
    QCOMPARE(m_preferences->quality()->checksums()->currentText(), QStringLiteral("Verify"));

    // Cancel brings back what was applied.
    QTest::keyClick(m_preferences->quality()->minQuality(), Qt::Key_Home);
    QCOMPARE(m_settings->settings().MinQuality, navorel::MinQuality::Any);
    m_preferences->cancelButton()->click();
    QCOMPARE(m_settings->settings().MinQuality, navorel::MinQuality::RtkFixed);
    QVERIFY(m_prompter->errors.isEmpty());
}

void ConfChoicesTest::surveyGoalLivesInNavorelConf()
{
    QVERIFY(navorel::writeSettingsFile(m_path.toStdString(), navorel::Settings()));
    const std::string conf = m_dir->filePath(QStringLiteral("navorel.conf")).toStdString();
    start();
    SurveyChoices *survey = m_preferences->survey();
    QCOMPARE(survey->target()->value(), 0.5);
    QCOMPARE(survey->minutes()->value(), 30);
    QVERIFY(!survey->stop()->isChecked());
    QVERIFY(!survey->saveAs()->isEnabled()); // a name only matters when receiving stops

    // In force at once; written on Apply, read back at the next start.
    survey->target()->setValue(0.1);
    survey->minutes()->setValue(240);
    survey->stop()->setChecked(true);
    QVERIFY(survey->saveAs()->isEnabled());
    QTest::keyClicks(survey->saveAs(), QStringLiteral("/srv/base.nmea"));
    QCOMPARE(m_settings->settings().TargetR95, 0.1);
    QCOMPARE(m_settings->settings().MinMinutes, 240);
    QVERIFY(m_settings->settings().StopWhenReached);
    QCOMPARE(m_settings->settings().SaveWhenReached, std::string("/srv/base.nmea"));
    m_preferences->applyButton()->click();
    std::string written;
    QVERIFY(navorel::readFileBytes(conf, written));
    QVERIFY2(written.find("[Survey]\nTargetR95=0.1\nMinMinutes=240\nStopWhenReached=true\n"
                          "SaveWhenReached=/srv/base.nmea\n")
                 != std::string::npos,
             written.c_str());
    start();
    QCOMPARE(m_preferences->survey()->target()->value(), 0.1);
    QCOMPARE(m_preferences->survey()->saveAs()->text(), QStringLiteral("/srv/base.nmea"));

    // Cancel brings back what was applied, in the settings and on the page.
    m_preferences->survey()->minutes()->setValue(5);
    QCOMPARE(m_settings->settings().MinMinutes, 5);
    m_preferences->cancelButton()->click();
    QCOMPARE(m_settings->settings().MinMinutes, 240);
    QCOMPARE(m_preferences->survey()->minutes()->value(), 240);
    QVERIFY(m_prompter->errors.isEmpty());
}

QTEST_MAIN(ConfChoicesTest)
#include "confchoices_test.moc"
