#pragma once

#include <QMainWindow>
#include <QString>

#include "app/aboutbox.h"
#include "app/mainactions.h"
#include "app/positionexportcommands.h"
#include "app/product.h"
#include "filter/filterresult.h"
#include "prefs/settingsfile.h"
#include "ui/filedialogs.h"

class EditActions;
class FileDialogs;
class HintDisplay;
class NmeaTextArea;
class PositionViews;
class Prompter;
class ElidedGroupBox;
class KeyboardPath;
class QDialog;
class QGroupBox;
class QLabel;
class QProgressBar;
class QSplitter;
class QToolBar;
class RecentLogs;
class ResultCommands;
class ResultPage;
class SettingsStore;
class TextDocument;
class WindowPlaces;

// The main window: the NMEA text on the left, the approximate position and
// the two charts on the right, every command in its menus and tool bar.
// Its handlers forward to the part of the program that owns the command.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(SettingsStore &settings, FileDialogs &dialogs, Prompter &prompter, UrlOpener opener,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // The windows made after this one at start-up.
    void setAboutBox(AboutBox *box) { m_aboutBox = box; }
    void setResultPage(ResultPage *page);
    void setRs232Window(QDialog *window) { m_rs232Window = window; }
    void setPreferences(QDialog *dialog) { m_preferences = dialog; }
    // The first command-line argument, opened at the first activation.
    void setFirstArgument(const QString &argument) { m_firstArgument = argument; }

    const ProductInfo &product() const { return m_product; }
    MainActions &actions() { return m_actions; }
    NmeaTextArea *textArea() const { return m_textArea; }
    TextDocument &document() const { return *m_document; }
    PositionViews *positionViews() const { return m_positionViews; }
    QLabel *statusPanel(int index) const { return index == 0 ? m_fileNamePanel : m_hintPanel; }
    ElidedGroupBox *textGroup() const { return m_textGroup; }
    QProgressBar *gauge() const { return m_gauge; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *gaugeSeparator() const { return m_gaugeSeparator; }
    // The filter run and its result: views, result page, result files.
    ResultCommands &results() const { return *m_results; }
    RecentLogs &recentLogs() const { return *m_recent; }
    WindowPlaces &places() const { return *m_places; }
    KeyboardPath &keyboardPath() const { return *m_keys; }
    QSplitter *splitter() const { return m_splitter; }

    // The transfer commands show whether they run.
    void showReceiving(bool running) { m_actions.showReceiving(running); }
    void showSending(bool running) { m_actions.showSending(running); }
    // A note of the serial link, in the status bar's hint panel.
    void showNote(const QString &note);

    // The commands.
    void NewText1Click();
    void OpenTXTClick();
    void exportMeanPositionClick();
    void exportTrackClick();
    void RS232Settings1Click();
    void Preferences1Click();
    void HilfeInfoExecute();
    void Hilfeblasen1Click();
    void ReportaBug1Click();
    // A second start handed over its text.
    void handOver(const QString &text);

signals:
    // The window closes: the settings are written now.
    void FormClose();
    // The serial commands; the serial link answers them.
    void receiveCommand();
    void sendCommand();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildStatusBar();
    void buildViews();
    void connectCommands();
    // Recent logs, places and sizes kept, the keyboard's way to the charts.
    void buildDesktop();
    void FormActivate();
    // The settings that act on the window itself.
    void applySetting(navorel::SettingKey key, int value);
    void applyHelp(bool shown);
    void applyToolBar(bool shown);
    void resetPositionViews();
    QString exportName() const;
    // Centred over the window, as every window the commands open is.
    void showModal(QDialog *dialog);

    SettingsStore &m_settings;
    FileDialogs &m_dialogs;
    Prompter &m_prompter;
    UrlOpener m_opener;
    ProductInfo m_product;
    MainActions m_actions;
    QString m_firstArgument;
    bool m_firstActivation = true;

    QToolBar *m_toolBar = nullptr;
    QAction *m_gaugeSeparator = nullptr;
    QLabel *m_fileNamePanel = nullptr;
    QLabel *m_hintPanel = nullptr;
    QProgressBar *m_gauge = nullptr;
    ElidedGroupBox *m_textGroup = nullptr;
    NmeaTextArea *m_textArea = nullptr;
    PositionViews *m_positionViews = nullptr;
    HintDisplay *m_hints = nullptr;
    EditActions *m_editActions = nullptr;
    TextDocument *m_document = nullptr;
    ResultCommands *m_results = nullptr;
    QSplitter *m_splitter = nullptr;
    RecentLogs *m_recent = nullptr;
    WindowPlaces *m_places = nullptr;
    KeyboardPath *m_keys = nullptr;

    AboutBox *m_aboutBox = nullptr;
    QDialog *m_rs232Window = nullptr;
    QDialog *m_preferences = nullptr;
    PositionExportCommands m_exports;
};
