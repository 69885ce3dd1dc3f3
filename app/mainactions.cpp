#include "app/mainactions.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QMenuBar>

#include "ui/hints.h"

QIcon toolImage(int index)
{
    static const QHash<int, QString> files = {
        {ImageOpenText, QStringLiteral("open")},
        {ImageSaveText, QStringLiteral("save")},
        {ImageFilter, QStringLiteral("filter")},
        {ImageShowNmea, QStringLiteral("show-nmea")},
        {ImageShowFiltered, QStringLiteral("show-filtered")},
        {ImageReceiveIdle, QStringLiteral("receive")},
        {ImageReceiving, QStringLiteral("receiving")},
        {ImageSendIdle, QStringLiteral("send")},
        {ImageSending, QStringLiteral("sending")},
    };
    return QIcon(QStringLiteral(":/tools/") + files.value(index) + QStringLiteral(".svg"));
}

namespace {

QAction *command(QObject *owner, const char *name, const QString &caption, const QKeySequence &shortcut,
                 const QString &hint)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    // The window's shortcuts, also while another control of it has the focus.
    action->setShortcutContext(Qt::WindowShortcut);
    if (!hint.isEmpty())
        setHint(action, hint);
    return action;
}

QAction *toolButton(QObject *owner, const char *name, int image, const QString &hint)
{
    auto *action = new QAction(toolImage(image), QString(), owner);
    action->setObjectName(QLatin1String(name));
    setHint(action, hint);
    return action;
}

} // namespace

MainActions::MainActions(QObject *owner)
        : newText(command(owner, "NewText1", QStringLiteral("New Text"), QKeySequence(Qt::CTRL | Qt::Key_N),
                          QStringLiteral("New Text"))),
          openText(command(owner, "OpenTXT", QStringLiteral("Open &Text file..."),
                           QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("Open Text|Open Text"))),
          openResult(command(owner, "Openfiltereddata1", QStringLiteral("Open filtered data"),
                             QKeySequence(Qt::CTRL | Qt::Key_D),
                             QStringLiteral("Open filtered data for visualising"))),
          saveText(command(owner, "SaveNMEA", QStringLiteral("Save Text"), QKeySequence(Qt::CTRL | Qt::Key_S),
                           QStringLiteral("Save NMEA data"))),
          saveTextAs(command(owner, "SaveNMEAAs", QStringLiteral("&Save Text As..."), QKeySequence(),
                             QStringLiteral("Save NMEA data As|Save NMEA data with new name"))),
          saveResult(command(owner, "SavefilteredData1", QStringLiteral("Save &filtered data"),
                             QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S),
                             QStringLiteral("Save filter result"))),
          exportMeanPosition(command(
              owner, "ExportMeanPosition", QStringLiteral("Export mean position\u2026"), QKeySequence(),
              QStringLiteral("Export mean position|Write the mean position as GPX or KML"))),
          exportTrack(command(owner, "ExportTrack", QStringLiteral("Export fixes as GPX track\u2026"),
                              QKeySequence(),
                              QStringLiteral("Export fixes|Write every accepted fix as a GPX track"))),
          quit(command(owner, "Beenden", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                       QStringLiteral("Quit|Quit Navorel"))),
          undo(command(owner, "Rckgngig1", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                       QStringLiteral("Undo|Undo last action"))),
          cut(command(owner, "Ausschneiden1", QStringLiteral("&Cut"), QKeySequence(Qt::CTRL | Qt::Key_X),
                      QStringLiteral("Cut|Cut selected text"))),
          copy(command(owner, "Kopieren1", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
                       QStringLiteral("Copy|Copy selected text"))),
          paste(command(owner, "Einfgen1", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
                        QStringLiteral("Paste|Paste text from clipboard"))),
          selectAll(command(owner, "Allesmarkieren1", QStringLiteral("&Select All"),
                            QKeySequence(Qt::CTRL | Qt::Key_A), QStringLiteral("Select All"))),
          filter(command(owner, "Filter", QStringLiteral("&Filter NMEA data"), QKeySequence(Qt::Key_F12),
                         QStringLiteral("Filter NMEA data|Filter positions from NMEA data"))),
          receiveData(command(owner, "Receivedata1", QStringLiteral("Receive data"), QKeySequence(Qt::Key_F2),
                              QStringLiteral("Receive data|Open serial port and receive data"))),
          sendData(command(owner, "Senddata1", QStringLiteral("Send data"), QKeySequence(Qt::Key_F3),
                           QStringLiteral("Send data|Open serial port and send data"))),
          showResultPage(command(owner, "ShowResultpage1", QStringLiteral("Show Resultpage"),
                                 QKeySequence(Qt::CTRL | Qt::Key_R), QStringLiteral("Show resultpage"))),
          rs232Settings(command(owner, "RS232Settings1", QStringLiteral("&RS-232 Settings"),
                                QKeySequence(Qt::CTRL | Qt::Key_F11), QString())),
          preferences(command(owner, "Preferences1", QStringLiteral("Preferences"),
                              QKeySequence(Qt::CTRL | Qt::Key_F12), QStringLiteral("Open preferences"))),
          helpBubbles(command(owner, "Hilfeblasen1", QStringLiteral("&HelpBubbles"), QKeySequence(),
                              QStringLiteral("Show HelpBubbles|Select to show HelpBubbles under mouse"))),
          reportBug(command(owner, "ReportaBug1", QStringLiteral("Report a Bug"), QKeySequence(),
                            QStringLiteral("Send bug report by e-mail"))),
          about(command(owner, "Info1", QStringLiteral("&About..."), QKeySequence(Qt::Key_F1),
                        QStringLiteral("Info|Information about Navorel"))),
          toolOpenText(toolButton(owner, "TB_OpenTXT", ImageOpenText, QStringLiteral("Open Text"))),
          toolSaveText(toolButton(owner, "TB_SaveText", ImageSaveText,
                                  QStringLiteral("Save Text|Save text with new name"))),
          toolReceive(toolButton(owner, "TB_down", ImageReceiveIdle,
                                 QStringLiteral("Receive data|Open serial port and receive data"))),
          toolSend(toolButton(owner, "TB_up", ImageSendIdle,
                              QStringLiteral("Send data|Open serial port and send data"))),
          toolFilter(toolButton(owner, "TB_Fliter", ImageFilter, QStringLiteral("Filter NMEA data"))),
          toolShowNmea(toolButton(owner, "TB_NMEA", ImageShowNmea, QStringLiteral("Show NMEA data"))),
          toolShowFiltered(
              toolButton(owner, "TB_filterdata", ImageShowFiltered, QStringLiteral("Show filter result"))),
          resultOpenShortcut(command(owner, "FileOpenFlDat", QStringLiteral("Open &filtered data"),
                                     QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O), QString()))
{
    helpBubbles->setCheckable(true);
    helpBubbles->setChecked(true);
    for (QAction *startsDisabled :
         {saveResult, exportMeanPosition, exportTrack, showResultPage, toolShowNmea, toolShowFiltered})
        startsDisabled->setEnabled(false);
}

void MainActions::fillMenuBar(QMenuBar *bar)
{
    const auto menu = [bar](const char *name, const QString &title, const QString &hint) {
        QMenu *created = bar->addMenu(title);
        created->setObjectName(QLatin1String(name));
        setHint(created->menuAction(), hint);
        created->setToolTipsVisible(false);
        return created;
    };
    QMenu *file = menu("Datei1", QStringLiteral("&File"), QStringLiteral("Menu File"));
    file->addActions({newText, openText, openResult});
    recentLogs = file->addMenu(QStringLiteral("Recent Logs"));
    recentLogs->setObjectName(QStringLiteral("RecentLogs"));
    setHint(recentLogs->menuAction(), QStringLiteral("Recent Logs|Open a log or result file used lately"));
    file->addSeparator()->setObjectName(QStringLiteral("N4"));
    file->addActions({saveText, saveTextAs, saveResult, exportMeanPosition, exportTrack});
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    file->addAction(quit);

    QMenu *edit = menu("Bearbeiten1", QStringLiteral("&Edit"), QStringLiteral("Menu Edit"));
    edit->addAction(undo);
    edit->addSeparator()->setObjectName(QStringLiteral("N2"));
    edit->addActions({cut, copy, paste, selectAll});
    edit->addSeparator()->setObjectName(QStringLiteral("N3"));
    edit->addAction(filter);

    QMenu *tools = menu("View1", QStringLiteral("&Tools"), QStringLiteral("Tools"));
    tools->addActions({receiveData, sendData});
    tools->addSeparator()->setObjectName(QStringLiteral("N6"));
    tools->addAction(showResultPage);
    tools->addSeparator()->setObjectName(QStringLiteral("N5"));
    tools->addActions({rs232Settings, preferences});

    QMenu *help = menu("Hilfe1", QStringLiteral("&Help"), QStringLiteral("Help"));
    help->addActions({helpBubbles, reportBug, about});
}

namespace {

const QString kReceiveData = QStringLiteral("Receive data");
const QString kReceiveHint = QStringLiteral("Receive data|Open serial port and receive data");
const QString kStopReceiving = QStringLiteral("Stop receiving");
const QString kSendData = QStringLiteral("Send data");
const QString kSendHint = QStringLiteral("Send data|Open serial port and send data");
const QString kStopSending = QStringLiteral("Stop sending");

// What a transfer command shows, idle and running: the menu item and the
// tool button take caption, hint and picture; the other command's pair is
// greyed while it runs.
struct CommandLook
{
    QAction *item;
    QAction *button;
    QAction *otherItem;
    QAction *otherButton;
    QString idleCaption;
    QString idleHint;
    QString runningCaption;
    int idleImage;
    int runningImage;
};

void showCommand(const CommandLook &look, bool running)
{
    look.item->setText(running ? look.runningCaption : look.idleCaption);
    setHint(look.item, running ? look.runningCaption : look.idleHint);
    setHint(look.button, running ? look.runningCaption : look.idleHint);
    look.button->setIcon(toolImage(running ? look.runningImage : look.idleImage));
    look.otherItem->setEnabled(!running);
    look.otherButton->setEnabled(!running);
}

} // namespace

void MainActions::showReceiving(bool running)
{
    showCommand({receiveData, toolReceive, sendData, toolSend, kReceiveData, kReceiveHint, kStopReceiving,
                 ImageReceiveIdle, ImageReceiving},
                running);
}

void MainActions::showSending(bool running)
{
    showCommand({sendData, toolSend, receiveData, toolReceive, kSendData, kSendHint, kStopSending,
                 ImageSendIdle, ImageSending},
                running);
}
