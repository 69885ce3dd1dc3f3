#include "app/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/editactions.h"
#include "app/gauge.h"
#include "app/keyboardpath.h"
#include "app/positionviews.h"
#include "app/recentlogs.h"
#include "app/resultcommands.h"
#include "app/textdocument.h"
#include "app/windowplaces.h"
#include "prefs/settingsstore.h"
#include "ui/elidedgroupbox.h"
#include "ui/elidedlabel.h"
#include "ui/filedialogs.h"
#include "ui/formfont.h"
#include "ui/hints.h"
#include "ui/nmeatextarea.h"
#include "ui/prompter.h"

MainWindow::MainWindow(SettingsStore &settings, FileDialogs &dialogs, Prompter &prompter, UrlOpener opener,
                       QWidget *parent)
        : QMainWindow(parent), m_settings(settings), m_dialogs(dialogs), m_prompter(prompter),
          m_opener(std::move(opener)), m_actions(this), m_exports(dialogs, prompter)
{
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(m_product.caption());
    setWindowIcon(QIcon(QStringLiteral(":/navorel.svg")));
    setAcceptDrops(true);

    m_actions.fillMenuBar(menuBar());
    // Ctrl+Alt+O has no menu item of its own.
    addAction(m_actions.resultOpenShortcut);
    buildToolBar();
    buildStatusBar();
    buildViews();
    m_document = new TextDocument(m_textArea, m_textGroup, m_fileNamePanel, m_dialogs, m_prompter, this);
    m_editActions = new EditActions(m_actions.undo, m_actions.cut, m_actions.copy, m_actions.paste,
                                    m_actions.selectAll, this);

    m_results = new ResultCommands(m_settings, m_dialogs, m_prompter,
                                   {m_actions, m_textArea, m_positionViews, m_gauge, m_gaugeSeparator, this});
    m_document->setGauge(&m_results->gauge());

    connectCommands();
    buildDesktop();
    connect(m_results, &ResultCommands::noted, this, &MainWindow::showNote);
    connect(&m_settings, &SettingsStore::applied, this, &MainWindow::applySetting);
    // The menu's hint check acts at once; the tool bar waits to be applied.
    connect(&m_settings, &SettingsStore::valueChanged, this, [this](navorel::SettingKey key, int value) {
        if (key == navorel::SettingKey::Help)
            applySetting(key, value);
    });
    applyHelp(m_settings.settings().Help);
    applyToolBar(m_settings.settings().ToolBar);
}

MainWindow::~MainWindow() = default;

void MainWindow::setResultPage(ResultPage *page)
{
    m_results->setResultPage(page);
}

void MainWindow::buildToolBar()
{
    MainActions &a = m_actions;
    m_toolBar = addToolBar(QStringLiteral("ToolBar1"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    m_toolBar->addActions({a.toolOpenText, a.toolSaveText, a.toolReceive, a.toolSend});
    m_toolBar->addSeparator()->setObjectName(QStringLiteral("Trenn1"));
    m_toolBar->addActions({a.toolFilter, a.toolShowNmea, a.toolShowFiltered});
    m_gaugeSeparator = m_toolBar->addSeparator();
    m_gaugeSeparator->setObjectName(QStringLiteral("Trenn3"));
    m_gaugeSeparator->setVisible(false);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    m_fileNamePanel = new ElidedLabel(QStringLiteral(" untitled"), bar);
    m_fileNamePanel->setObjectName(QStringLiteral("Panel0"));
    m_fileNamePanel->setFixedWidth(200);
    m_hintPanel = new QLabel(QStringLiteral(" check your position"), bar);
    m_hintPanel->setObjectName(QStringLiteral("Panel1"));
    m_hintPanel->setMinimumWidth(50);
    bar->setFont(formFont());
    bar->addWidget(m_fileNamePanel);
    bar->addWidget(m_hintPanel, 1);

    // The gauge lies over the left end of the status bar, outside its layout.
    m_gauge = new Gauge(bar);
    m_gauge->setObjectName(QStringLiteral("CGauge1"));
    m_gauge->setGeometry(1, 2, 198, 16);
    m_gauge->setValue(0);
    m_gauge->hide();
    m_hints = new HintDisplay(this, m_hintPanel);
}

void MainWindow::showNote(const QString &note)
{
    m_hints->showStatus(note);
}

void MainWindow::buildViews()
{
    auto *container = new QWidget(this);
    container->setObjectName(QStringLiteral("PanelContainer"));
    auto *containerLayout = new QHBoxLayout(container);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = m_splitter = new QSplitter(Qt::Horizontal, container);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    containerLayout->addWidget(splitter);

    // The caption names the file: a long name must not widen the pane.
    m_textGroup = new ElidedGroupBox(QStringLiteral(" Data: "), splitter);
    m_textGroup->setObjectName(QStringLiteral("GB_Text"));
    auto *textLayout = new QVBoxLayout(m_textGroup);
    textLayout->setContentsMargins(2, 2, 2, 2);
    m_textArea = new NmeaTextArea(m_textGroup);
    m_textArea->setObjectName(QStringLiteral("Memo_Text"));
    setHint(m_textArea, QStringLiteral("open file or insert some NMEA data"));
    m_textArea->viewport()->installEventFilter(this);
    textLayout->addWidget(m_textArea);

    m_positionViews = new PositionViews(splitter);

    splitter->addWidget(m_textGroup);
    splitter->addWidget(m_positionViews);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({225, 440});
    container->setFont(formFont());
    setCentralWidget(container);
}

void MainWindow::connectCommands()
{
    MainActions &a = m_actions;
    connect(a.newText, &QAction::triggered, this, &MainWindow::NewText1Click);
    connect(a.openText, &QAction::triggered, this, &MainWindow::OpenTXTClick);
    connect(a.toolOpenText, &QAction::triggered, this, &MainWindow::OpenTXTClick);
    connect(a.openResult, &QAction::triggered, m_results, &ResultCommands::Openfiltereddata1Click);
    connect(a.saveText, &QAction::triggered, m_document, &TextDocument::SaveNMEAClick);
    connect(a.toolSaveText, &QAction::triggered, m_document, &TextDocument::SaveNMEAClick);
    connect(a.saveTextAs, &QAction::triggered, m_document, &TextDocument::SaveNMEAAsClick);
    connect(a.saveResult, &QAction::triggered, m_results, &ResultCommands::SavefilteredData1Click);
    connect(a.exportMeanPosition, &QAction::triggered, this, &MainWindow::exportMeanPositionClick);
    connect(a.exportTrack, &QAction::triggered, this, &MainWindow::exportTrackClick);
    connect(a.quit, &QAction::triggered, this, &QWidget::close);
    connect(a.filter, &QAction::triggered, m_results, &ResultCommands::FilterClick);
    connect(a.toolFilter, &QAction::triggered, m_results, &ResultCommands::FilterClick);
    connect(a.toolShowNmea, &QAction::triggered, m_results, &ResultCommands::TB_NMEAClick);
    connect(a.toolShowFiltered, &QAction::triggered, m_results, &ResultCommands::TB_filterdataClick);
    connect(a.receiveData, &QAction::triggered, this, &MainWindow::receiveCommand);
    connect(a.toolReceive, &QAction::triggered, this, &MainWindow::receiveCommand);
    connect(a.sendData, &QAction::triggered, this, &MainWindow::sendCommand);
    connect(a.toolSend, &QAction::triggered, this, &MainWindow::sendCommand);
    connect(a.showResultPage, &QAction::triggered, m_results, &ResultCommands::ShowResultpage1Click);
    connect(a.rs232Settings, &QAction::triggered, this, &MainWindow::RS232Settings1Click);
    connect(a.preferences, &QAction::triggered, this, &MainWindow::Preferences1Click);
    connect(a.helpBubbles, &QAction::triggered, this, &MainWindow::Hilfeblasen1Click);
    connect(a.reportBug, &QAction::triggered, this, &MainWindow::ReportaBug1Click);
    connect(a.about, &QAction::triggered, this, &MainWindow::HilfeInfoExecute);
    // Only keeps the name chosen: the next result file names it in its title.
    connect(a.resultOpenShortcut, &QAction::triggered, this,
            [this] { m_dialogs.openFileName(this, m_results->openDialog()); });
}

void MainWindow::buildDesktop()
{
    m_places = new WindowPlaces(this, m_splitter, m_positionViews->pages(), m_settings);
    m_places->placeFirstStart(QSize(690, 520));
    m_places->addDialog(QStringLiteral("FileOpenTXT"), &m_document->openDialog());
    m_places->addDialog(QStringLiteral("FileSaveNMEAdataAs"), &m_document->saveDialog());
    m_places->addDialog(QStringLiteral("FileOpenFlDat"), &m_results->openDialog());
    m_places->addDialog(QStringLiteral("FileSaveAsFlRes"), &m_results->saveDialog());
    m_places->addDialog(QStringLiteral("ExportMeanPosition"), &m_exports.meanDialog());
    m_places->addDialog(QStringLiteral("ExportTrack"), &m_exports.trackDialog());
    connect(&m_settings, &SettingsStore::desktopRead, this, [this] { m_places->restore(); });

    m_recent = new RecentLogs(m_actions.recentLogs, m_settings, this);
    connect(m_document, &TextDocument::fileUsed, m_recent, &RecentLogs::add);
    connect(m_results, &ResultCommands::fileUsed, m_recent, &RecentLogs::add);
    // As a file dropped on the window: unsaved edits are asked about first.
    connect(m_recent, &RecentLogs::openRequested, this,
            [this](const QString &path) { m_document->openDropped({QUrl::fromLocalFile(path)}); });
    m_results->setLogName([this] { return m_document->path(); });

    m_keys = new KeyboardPath(this, m_textArea, m_positionViews->pages());
}

void MainWindow::applySetting(navorel::SettingKey key, int value)
{
    if (key == navorel::SettingKey::Help)
        applyHelp(value != 0);
    else if (key == navorel::SettingKey::ToolBar)
        applyToolBar(value != 0);
}

void MainWindow::applyHelp(bool shown)
{
    m_actions.helpBubbles->setChecked(shown);
    m_hints->setBubblesShown(shown);
}

void MainWindow::applyToolBar(bool shown)
{
    m_toolBar->setVisible(shown);
}

void MainWindow::resetPositionViews()
{
    m_positionViews->reset();
    for (QAction *action : {m_actions.toolShowNmea, m_actions.toolShowFiltered, m_actions.showResultPage,
                            m_actions.saveResult, m_actions.exportMeanPosition, m_actions.exportTrack})
        action->setEnabled(false);
}

void MainWindow::NewText1Click()
{
    if (!m_document->askToSaveChanges())
        return;
    m_document->newText();
    resetPositionViews();
}

void MainWindow::OpenTXTClick()
{
    if (m_document->openTextFile())
        resetPositionViews();
}

// The waypoint and the track are called after the log; an untitled text after the program.
QString MainWindow::exportName() const
{
    const QString name = QFileInfo(m_document->name()).completeBaseName();
    return name.isEmpty() ? m_product.productName : name;
}

void MainWindow::exportMeanPositionClick()
{
    m_exports.exportMeanPosition(this, *m_positionViews->precisionView(), exportName());
}

void MainWindow::exportTrackClick()
{
    m_exports.exportTrack(this, *m_positionViews->precisionView(), exportName());
}

void MainWindow::showModal(QDialog *dialog)
{
    if (dialog == nullptr)
        return;
    centreOver(dialog, this);
    m_prompter.runModal(dialog);
}

void MainWindow::RS232Settings1Click()
{
    showModal(m_rs232Window);
}

void MainWindow::Preferences1Click()
{
    showModal(m_preferences);
}

void MainWindow::HilfeInfoExecute()
{
    showModal(m_aboutBox);
}

void MainWindow::Hilfeblasen1Click()
{
    const bool shown = m_actions.helpBubbles->isChecked();
    m_settings.setValue(navorel::SettingKey::Help, shown ? 1 : 0);
}

void MainWindow::ReportaBug1Click()
{
    if (m_opener && !m_opener(bugReportLink(m_product)))
        m_prompter.addressBox(
            this, QStringLiteral("No mail program could be started. Please send your report to:"),
            m_product.supportAddress + QStringLiteral("\nSubject: ") + bugReportSubject(m_product));
}

void MainWindow::handOver(const QString &text)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (!text.isEmpty())
        m_document->openHandedOver(text);
}

void MainWindow::FormActivate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    if (!m_firstArgument.isEmpty())
        m_document->OpenHandleTXT(m_firstArgument);
}

bool MainWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::StatusTip:
        // Highlighted menu items: their long hint goes to panel 1.
        m_hints->showStatus(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    case QEvent::WindowActivate: FormActivate(); break;
    default: break;
    }
    return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Without a window manager a window is never activated: the first show
    // counts as the first activation then.
    if (m_firstActivation) {
        QTimer::singleShot(0, this, &MainWindow::FormActivate);
        QTimer::singleShot(0, this, [this] { m_places->keepOnScreen(); });
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_document->askToSaveChanges()) {
        event->ignore();
        return;
    }
    m_places->store();
    emit FormClose();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    m_document->openDropped(event->mimeData()->urls());
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Files dropped on the text area open as files; text dropped there is
    // the text area's own business.
    if (watched == m_textArea->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDragMoveEvent *>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            if (drop->mimeData()->hasUrls()) {
                dropEvent(drop);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
