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
        : NewText1(command(owner, "NewText1", QStringLiteral("New Text"), QKeySequence(Qt::CTRL | Qt::Key_N),
                           QStringLiteral("New Text"))),
          OpenTXT(command(owner, "OpenTXT", QStringLiteral("Open &Text file..."),
                          QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("Open Text|Open Text"))),
          Openfiltereddata1(command(owner, "Openfiltereddata1", QStringLiteral("Open filtered data"),
                                    QKeySequence(Qt::CTRL | Qt::Key_D),
                                    QStringLiteral("Open filtered data for visualising"))),
          SaveNMEA(command(owner, "SaveNMEA", QStringLiteral("Save Text"), QKeySequence(Qt::CTRL | Qt::Key_S),
                           QStringLiteral("Save NMEA data"))),
          SaveNMEAAs(command(owner, "SaveNMEAAs", QStringLiteral("&Save Text As..."), QKeySequence(),
                             QStringLiteral("Save NMEA data As|Save NMEA data with new name"))),
          SavefilteredData1(command(owner, "SavefilteredData1", QStringLiteral("Save &filtered data"),
                                    QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S),
                                    QStringLiteral("Save filter result"))),
          Beenden(command(owner, "Beenden", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                          QStringLiteral("Quit|Quit Navorel"))),
          Rckgngig1(command(owner, "Rckgngig1", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                            QStringLiteral("Undo|Undo last action"))),
          Ausschneiden1(command(owner, "Ausschneiden1", QStringLiteral("&Cut"),
                                QKeySequence(Qt::CTRL | Qt::Key_X), QStringLiteral("Cut|Cut selected text"))),
          Kopieren1(command(owner, "Kopieren1", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
                            QStringLiteral("Copy|Copy selected text"))),
          Einfgen1(command(owner, "Einfgen1", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
                           QStringLiteral("Paste|Paste text from clipboard"))),
          Allesmarkieren1(command(owner, "Allesmarkieren1", QStringLiteral("&Select All"),
                                  QKeySequence(Qt::CTRL | Qt::Key_A), QStringLiteral("Select All"))),
          Filter(command(owner, "Filter", QStringLiteral("&Filter NMEA data"), QKeySequence(Qt::Key_F12),
                         QStringLiteral("Filter NMEA data|Filter positions from NMEA data"))),
          Receivedata1(command(owner, "Receivedata1", QStringLiteral("Receive data"),
                               QKeySequence(Qt::Key_F2),
                               QStringLiteral("Receive data|Open serial port and receive data"))),
          Senddata1(command(owner, "Senddata1", QStringLiteral("Send data"), QKeySequence(Qt::Key_F3),
                            QStringLiteral("Send data|Open serial port and send data"))),
          ShowResultpage1(command(owner, "ShowResultpage1", QStringLiteral("Show Resultpage"),
                                  QKeySequence(Qt::CTRL | Qt::Key_R), QStringLiteral("Show resultpage"))),
          RS232Settings1(command(owner, "RS232Settings1", QStringLiteral("&RS-232 Settings"),
                                 QKeySequence(Qt::CTRL | Qt::Key_F11), QString())),
          Preferences1(command(owner, "Preferences1", QStringLiteral("Preferences"),
                               QKeySequence(Qt::CTRL | Qt::Key_F12), QStringLiteral("Open preferences"))),
          Hilfeblasen1(command(owner, "Hilfeblasen1", QStringLiteral("&HelpBubbles"), QKeySequence(),
                               QStringLiteral("Show HelpBubbles|Select to show HelpBubbles under mouse"))),
          ReportaBug1(command(owner, "ReportaBug1", QStringLiteral("Report a Bug"), QKeySequence(),
                              QStringLiteral("Send bug report by e-mail"))),
          Info1(command(owner, "Info1", QStringLiteral("&About..."), QKeySequence(Qt::Key_F1),
                        QStringLiteral("Info|Information about Navorel"))),
          TB_OpenTXT(toolButton(owner, "TB_OpenTXT", ImageOpenText, QStringLiteral("Open Text"))),
          TB_SaveText(toolButton(owner, "TB_SaveText", ImageSaveText,
                                 QStringLiteral("Save Text|Save text with new name"))),
          TB_down(toolButton(owner, "TB_down", ImageReceiveIdle,
                             QStringLiteral("Receive data|Open serial port and receive data"))),
          TB_up(toolButton(owner, "TB_up", ImageSendIdle,
                           QStringLiteral("Send data|Open serial port and send data"))),
          TB_Fliter(toolButton(owner, "TB_Fliter", ImageFilter, QStringLiteral("Filter NMEA data"))),
          TB_NMEA(toolButton(owner, "TB_NMEA", ImageShowNmea, QStringLiteral("Show NMEA data"))),
          TB_filterdata(
              toolButton(owner, "TB_filterdata", ImageShowFiltered, QStringLiteral("Show filter result"))),
          FileOpenFlDat(command(owner, "FileOpenFlDat", QStringLiteral("Open &filtered data"),
                                QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O), QString()))
{
    Hilfeblasen1->setCheckable(true);
    Hilfeblasen1->setChecked(true);
    for (QAction *startsDisabled : {SavefilteredData1, ShowResultpage1, TB_NMEA, TB_filterdata})
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
    file->addActions({NewText1, OpenTXT, Openfiltereddata1});
    file->addSeparator()->setObjectName(QStringLiteral("N4"));
    file->addActions({SaveNMEA, SaveNMEAAs, SavefilteredData1});
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    file->addAction(Beenden);

    QMenu *edit = menu("Bearbeiten1", QStringLiteral("&Edit"), QStringLiteral("Menu Edit"));
    edit->addAction(Rckgngig1);
    edit->addSeparator()->setObjectName(QStringLiteral("N2"));
    edit->addActions({Ausschneiden1, Kopieren1, Einfgen1, Allesmarkieren1});
    edit->addSeparator()->setObjectName(QStringLiteral("N3"));
    edit->addAction(Filter);

    QMenu *tools = menu("View1", QStringLiteral("&Tools"), QStringLiteral("Tools"));
    tools->addActions({Receivedata1, Senddata1});
    tools->addSeparator()->setObjectName(QStringLiteral("N6"));
    tools->addAction(ShowResultpage1);
    tools->addSeparator()->setObjectName(QStringLiteral("N5"));
    tools->addActions({RS232Settings1, Preferences1});

    QMenu *help = menu("Hilfe1", QStringLiteral("&Help"), QStringLiteral("Help"));
    help->addActions({Hilfeblasen1, ReportaBug1, Info1});
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
    showCommand({Receivedata1, TB_down, Senddata1, TB_up, kReceiveData, kReceiveHint, kStopReceiving,
                 ImageReceiveIdle, ImageReceiving},
                running);
}

void MainActions::showSending(bool running)
{
    showCommand({Senddata1, TB_up, Receivedata1, TB_down, kSendData, kSendHint, kStopSending, ImageSendIdle,
                 ImageSending},
                running);
}
