#include "app/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <climits>

#include "app/editactions.h"
#include "app/positionviews.h"
#include "app/resultpage.h"
#include "app/textdocument.h"
#include "filter/filterprocess.h"
#include "filter/textfile.h"
#include "prefs/settingsstore.h"
#include "resultfile/resultfilereader.h"
#include "resultfile/resultfilewriter.h"
#include "ui/filedialogs.h"
#include "ui/formfont.h"
#include "ui/hints.h"
#include "ui/nmeatextarea.h"
#include "ui/prompter.h"
#include "ui/textcodec.h"

MainWindow::MainWindow(SettingsStore &settings, FileDialogs &dialogs, Prompter &prompter, UrlOpener opener,
                       QWidget *parent)
        : QMainWindow(parent), m_settings(settings), m_dialogs(dialogs), m_prompter(prompter),
          m_opener(std::move(opener)), m_actions(this)
{
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(m_product.caption());
    setWindowIcon(QIcon(QStringLiteral(":/navorel.svg")));
    resize(690, 520);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setAcceptDrops(true);

    m_actions.fillMenuBar(menuBar());
    // Ctrl+Alt+O has no menu item of its own.
    addAction(m_actions.FileOpenFlDat);
    buildToolBar();
    buildStatusBar();
    buildViews();
    m_document = new TextDocument(m_memoText, m_gbText, m_panel0, m_dialogs, m_prompter, this);
    m_editActions = new EditActions(m_actions.Rckgngig1, m_actions.Ausschneiden1, m_actions.Kopieren1,
                                    m_actions.Einfgen1, m_actions.Allesmarkieren1, this);

    m_fileOpenFlDat.filter = QStringLiteral("Filtered data (.csv)|*.csv|All Files|*.*");
    m_fileOpenFlDat.defaultSuffix = QStringLiteral(".dat");
    m_fileSaveAsFlRes.filter = QStringLiteral("CSV data (.csv)|*.csv|All Files|*.*");
    m_fileSaveAsFlRes.defaultSuffix = QStringLiteral(".dat");

    connectCommands();
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
    m_toolBar->addActions({a.TB_OpenTXT, a.TB_SaveText, a.TB_down, a.TB_up});
    m_toolBar->addSeparator()->setObjectName(QStringLiteral("Trenn1"));
    m_toolBar->addActions({a.TB_Fliter, a.TB_NMEA, a.TB_filterdata});
    m_trenn3 = m_toolBar->addSeparator();
    m_trenn3->setObjectName(QStringLiteral("Trenn3"));
    m_trenn3->setVisible(false);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    m_panel0 = new QLabel(QStringLiteral(" untitled"), bar);
    m_panel0->setObjectName(QStringLiteral("Panel0"));
    m_panel0->setFixedWidth(200);
    m_panel1 = new QLabel(QStringLiteral(" check your position"), bar);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setMinimumWidth(50);
    bar->setFont(formFont());
    bar->addWidget(m_panel0);
    bar->addWidget(m_panel1, 1);

    // The gauge lies over the left end of the status bar, outside its layout.
    m_gauge = new QProgressBar(bar);
    m_gauge->setObjectName(QStringLiteral("CGauge1"));
    m_gauge->setGeometry(1, 2, 198, 16);
    m_gauge->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid gray; background: white; "
                                          "text-align: center; } QProgressBar::chunk { background: navy; }"));
    m_gauge->setValue(0);
    m_gauge->hide();
    m_hints = new HintDisplay(this, m_panel1);
}

void MainWindow::buildViews()
{
    auto *container = new QWidget(this);
    container->setObjectName(QStringLiteral("PanelContainer"));
    auto *containerLayout = new QHBoxLayout(container);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, container);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    containerLayout->addWidget(splitter);

    m_gbText = new QGroupBox(QStringLiteral(" Data: "), splitter);
    m_gbText->setObjectName(QStringLiteral("GB_Text"));
    auto *textLayout = new QVBoxLayout(m_gbText);
    textLayout->setContentsMargins(2, 2, 2, 2);
    m_memoText = new NmeaTextArea(m_gbText);
    m_memoText->setObjectName(QStringLiteral("Memo_Text"));
    setHint(m_memoText, QStringLiteral("open file or insert some NMEA data"));
    m_memoText->viewport()->installEventFilter(this);
    textLayout->addWidget(m_memoText);

    m_positionViews = new PositionViews(splitter);

    splitter->addWidget(m_gbText);
    splitter->addWidget(m_positionViews);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({225, 440});
    container->setFont(formFont());
    setCentralWidget(container);
}

void MainWindow::connectCommands()
{
    MainActions &a = m_actions;
    connect(a.NewText1, &QAction::triggered, this, &MainWindow::NewText1Click);
    connect(a.OpenTXT, &QAction::triggered, this, &MainWindow::OpenTXTClick);
    connect(a.TB_OpenTXT, &QAction::triggered, this, &MainWindow::OpenTXTClick);
    connect(a.Openfiltereddata1, &QAction::triggered, this, &MainWindow::Openfiltereddata1Click);
    connect(a.SaveNMEA, &QAction::triggered, m_document, &TextDocument::SaveNMEAClick);
    connect(a.TB_SaveText, &QAction::triggered, m_document, &TextDocument::SaveNMEAClick);
    connect(a.SaveNMEAAs, &QAction::triggered, m_document, &TextDocument::SaveNMEAAsClick);
    connect(a.SavefilteredData1, &QAction::triggered, this, &MainWindow::SavefilteredData1Click);
    connect(a.Beenden, &QAction::triggered, this, &QWidget::close);
    connect(a.Filter, &QAction::triggered, this, &MainWindow::FilterClick);
    connect(a.TB_Fliter, &QAction::triggered, this, &MainWindow::FilterClick);
    connect(a.TB_NMEA, &QAction::triggered, this, &MainWindow::TB_NMEAClick);
    connect(a.TB_filterdata, &QAction::triggered, this, &MainWindow::TB_filterdataClick);
    connect(a.Receivedata1, &QAction::triggered, this, &MainWindow::receiveCommand);
    connect(a.TB_down, &QAction::triggered, this, &MainWindow::receiveCommand);
    connect(a.Senddata1, &QAction::triggered, this, &MainWindow::sendCommand);
    connect(a.TB_up, &QAction::triggered, this, &MainWindow::sendCommand);
    connect(a.ShowResultpage1, &QAction::triggered, this, &MainWindow::ShowResultpage1Click);
    connect(a.RS232Settings1, &QAction::triggered, this, &MainWindow::RS232Settings1Click);
    connect(a.Preferences1, &QAction::triggered, this, &MainWindow::Preferences1Click);
    connect(a.Hilfeblasen1, &QAction::triggered, this, &MainWindow::Hilfeblasen1Click);
    connect(a.ReportaBug1, &QAction::triggered, this, &MainWindow::ReportaBug1Click);
    connect(a.Info1, &QAction::triggered, this, &MainWindow::HilfeInfoExecute);
    // Only keeps the name chosen: the next result file names it in its title.
    connect(a.FileOpenFlDat, &QAction::triggered, this,
            [this] { m_dialogs.openFileName(this, m_fileOpenFlDat); });
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
    m_actions.Hilfeblasen1->setChecked(shown);
    m_hints->setBubblesShown(shown);
}

void MainWindow::applyToolBar(bool shown)
{
    m_toolBar->setVisible(shown);
}

void MainWindow::resetPositionViews()
{
    m_positionViews->reset();
    for (QAction *action :
         {m_actions.TB_NMEA, m_actions.TB_filterdata, m_actions.ShowResultpage1, m_actions.SavefilteredData1})
        action->setEnabled(false);
}

void MainWindow::NewText1Click()
{
    m_document->newText();
    resetPositionViews();
}

void MainWindow::OpenTXTClick()
{
    if (m_document->openTextFile())
        resetPositionViews();
}

void MainWindow::showProgress(bool shown)
{
    m_gauge->setVisible(shown);
    m_trenn3->setVisible(shown);
    if (shown)
        m_gauge->raise();
}

void MainWindow::setProgress(std::size_t position, std::size_t maximum)
{
    m_gauge->setMaximum(static_cast<int>(std::min<std::size_t>(maximum, INT_MAX)));
    m_gauge->setValue(static_cast<int>(std::min<std::size_t>(position, INT_MAX)));
    // The command runs to its end before the event loop comes back: paint now.
    if (m_gauge->isVisible())
        m_gauge->repaint();
}

void MainWindow::replaceText(const navorel::TextLines &lines)
{
    // Hidden while replaced, so that a long text is drawn once.
    m_memoText->hide();
    if (const std::optional<std::string_view> view = lines.joinedView())
        m_memoText->setBytes(*view);
    else
        m_memoText->setBytes(lines.joined());
    m_memoText->show();
}

void MainWindow::FilterClick()
{
    m_gauge->setValue(0);
    m_positionViews->clearCharts();
    FilterProcess();
}

void MainWindow::FilterProcess()
{
    const navorel::Settings settings = m_settings.settings();
    if (settings.Progress)
        showProgress(true);
    navorel::FilterRun run = navorel::runFilter(
        navorel::TextLines::fromText(m_memoText->bytes()), settings,
        [this](std::size_t position, std::size_t maximum) { setProgress(position, maximum); });
    m_filterResult = std::move(run.result);
    m_positionViews->addToCharts(run.points, run.bars);
    m_resultPage->setLines(fromWindows1252(run.report));
    if (!run.completed()) {
        m_prompter.errorBox(this, fromWindows1252(run.errorString));
        return;
    }

    if (run.fixAccepted())
        m_actions.SavefilteredData1->setEnabled(true);
    m_positionViews->showPosition(run.latitudeText, run.longitudeText);
    m_positionViews->showTimeSpan(run.timeSpanText);
    if (run.counts.found != 0)
        replaceText(m_filterResult.displayLines);
    if (settings.Respage)
        ShowResultpage1Click();
    else
        m_prompter.messageBox(this, QStringLiteral("Filter process ready."));
    for (QAction *action : {m_actions.TB_NMEA, m_actions.TB_filterdata, m_actions.ShowResultpage1})
        action->setEnabled(true);
    showProgress(false);
}

void MainWindow::TB_NMEAClick()
{
    replaceText(m_filterResult.nmeaCopy);
}

void MainWindow::TB_filterdataClick()
{
    replaceText(m_filterResult.displayLines);
}

void MainWindow::SavefilteredData1Click()
{
    const QString path = m_dialogs.saveFileName(this, m_fileSaveAsFlRes);
    if (path.isEmpty())
        return;
    // The title line names the result file last chosen for opening.
    if (!navorel::writeResultFile(localPath(path), m_filterResult, toWindows1252(m_fileOpenFlDat.fileName)))
        m_prompter.errorBox(this, fillIn(navorel::kCannotCreateFile, path));
}

void MainWindow::Openfiltereddata1Click()
{
    const QString path = m_dialogs.openFileName(this, m_fileOpenFlDat);
    if (path.isEmpty())
        return;
    if (m_settings.settings().Progress)
        showProgress(true);
    m_filterResult.replaceSums(0.0, 0.0);
    m_memoText->clearText();

    std::string bytes;
    if (!navorel::readFileBytes(localPath(path), bytes)) {
        m_prompter.errorBox(this, fillIn(navorel::kCannotOpenFile, path));
        return;
    }
    const navorel::ResultFileView view = navorel::readResultFile(
        navorel::TextLines::fromText(std::move(bytes)),
        [this](std::size_t position, std::size_t maximum) { setProgress(position, maximum); });
    if (view.tooShort) {
        showProgress(false);
        return;
    }
    // Added to what the charts hold: a result beside the last run's.
    m_positionViews->addToCharts(view.points, view.bars);
    m_filterResult.replaceSums(view.latitudeSum, view.longitudeSum);
    if (!view.completed()) {
        m_prompter.errorBox(this, fromWindows1252(view.errorString));
        return;
    }
    m_resultPage->appendLines(fromWindows1252(view.reportLines));
    m_positionViews->showPosition(view.latitudeText, view.longitudeText);
    replaceText(view.displayLines);
    m_actions.ShowResultpage1->setEnabled(true);
    showProgress(false);
}

void MainWindow::showModal(QDialog *dialog)
{
    if (dialog == nullptr)
        return;
    dialog->move(geometry().center() - dialog->rect().center());
    m_prompter.runModal(dialog);
}

void MainWindow::ShowResultpage1Click()
{
    showModal(m_resultPage);
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
    const bool shown = m_actions.Hilfeblasen1->isChecked();
    m_settings.setValue(navorel::SettingKey::Help, shown ? 1 : 0);
}

void MainWindow::ReportaBug1Click()
{
    if (m_opener)
        m_opener(bugReportLink(m_product));
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
    if (m_firstActivation)
        QTimer::singleShot(0, this, &MainWindow::FormActivate);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
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
    if (watched == m_memoText->viewport()) {
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
