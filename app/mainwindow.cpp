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
#include "app/positionchart.h"
#include "app/resultpage.h"
#include "app/satellitechart.h"
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

namespace {

QLabel *positionLabel(QWidget *parent, const char *name, int x, const QString &text, const QString &hint)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, 10);
    label->setMinimumWidth(160);
    setHint(label, hint);
    return label;
}

} // namespace

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

    buildMenus();
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

void MainWindow::buildMenus()
{
    MainActions &a = m_actions;
    const auto menu = [this](const char *name, const QString &title, const QString &hint) {
        QMenu *created = menuBar()->addMenu(title);
        created->setObjectName(QLatin1String(name));
        setHint(created->menuAction(), hint);
        created->setToolTipsVisible(false);
        return created;
    };
    QMenu *file = menu("Datei1", QStringLiteral("&File"), QStringLiteral("Menu File"));
    file->addActions({a.NewText1, a.OpenTXT, a.Openfiltereddata1});
    file->addSeparator()->setObjectName(QStringLiteral("N4"));
    file->addActions({a.SaveNMEA, a.SaveNMEAAs, a.SavefilteredData1});
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    file->addAction(a.Beenden);

    QMenu *edit = menu("Bearbeiten1", QStringLiteral("&Edit"), QStringLiteral("Menu Edit"));
    edit->addAction(a.Rckgngig1);
    edit->addSeparator()->setObjectName(QStringLiteral("N2"));
    edit->addActions({a.Ausschneiden1, a.Kopieren1, a.Einfgen1, a.Allesmarkieren1});
    edit->addSeparator()->setObjectName(QStringLiteral("N3"));
    edit->addAction(a.Filter);

    QMenu *tools = menu("View1", QStringLiteral("&Tools"), QStringLiteral("Tools"));
    tools->addActions({a.Receivedata1, a.Senddata1});
    tools->addSeparator()->setObjectName(QStringLiteral("N6"));
    tools->addAction(a.ShowResultpage1);
    tools->addSeparator()->setObjectName(QStringLiteral("N5"));
    tools->addActions({a.RS232Settings1, a.Preferences1});

    QMenu *help = menu("Hilfe1", QStringLiteral("&Help"), QStringLiteral("Help"));
    help->addActions({a.Hilfeblasen1, a.ReportaBug1, a.Info1});

    // Ctrl+Alt+O has no menu item of its own.
    addAction(a.FileOpenFlDat);
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

    auto *script = new QGroupBox(QStringLiteral(" Approximately Position "), splitter);
    script->setObjectName(QStringLiteral("GB_Script"));
    auto *scriptLayout = new QVBoxLayout(script);
    scriptLayout->setContentsMargins(2, 2, 2, 2);
    auto *panel2 = new QWidget(script);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFixedHeight(34);
    setHint(panel2, QStringLiteral("Approximately position"));
    m_labelN = positionLabel(panel2, "Label_N", 7, QStringLiteral(" North latitude : "),
                             QStringLiteral("Approximately north latitude"));
    m_labelE = positionLabel(panel2, "Label_E", 180, QStringLiteral(" East longitude : "),
                             QStringLiteral("Approximately east longitude"));
    m_labelToa =
        positionLabel(panel2, "Label_toa", 352, QStringLiteral("Time : "), QStringLiteral("Time over all"));
    const QFont arial(QStringLiteral("Arial"), 8);
    m_labelN->setFont(arial);
    m_labelE->setFont(arial);
    // The window's font is as narrow; the desktop's sans would push the time
    // past the right edge at the window's first size.
    m_labelToa->setFont(arial);

    scriptLayout->addWidget(panel2);

    m_pageControl = new QTabWidget(script);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl->setTabPosition(QTabWidget::South);
    m_pageControl->setMinimumHeight(271);
    m_chartGps = new PositionChart();
    m_chartGps->setObjectName(QStringLiteral("ChartGPS"));
    m_chart1 = new SatelliteChart();
    m_chart1->setObjectName(QStringLiteral("Chart1"));
    const auto page = [this](const char *name, QWidget *chart, const QString &caption, const QString &hint) {
        auto *sheet = new QWidget();
        sheet->setObjectName(QLatin1String(name));
        auto *layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(chart);
        setHint(sheet, hint);
        const int index = m_pageControl->addTab(sheet, caption);
        m_pageControl->setTabToolTip(index, splitHint(hint).bubble);
    };
    page("TBS_Pos", m_chartGps, QStringLiteral("Position"), QStringLiteral("Shows all filtered positions"));
    page("TBS_Sat", m_chart1, QStringLiteral("Satellites"),
         QStringLiteral("Satellites in view over a time range"));
    scriptLayout->addWidget(m_pageControl, 1);

    splitter->addWidget(m_gbText);
    splitter->addWidget(script);
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
    m_labelN->setText(QStringLiteral(" North latitude  :"));
    m_labelE->setText(QStringLiteral(" East longitude :"));
    m_labelToa->setText(QStringLiteral(" Time :"));
    clearCharts();
    for (QAction *action :
         {m_actions.TB_NMEA, m_actions.TB_filterdata, m_actions.ShowResultpage1, m_actions.SavefilteredData1})
        action->setEnabled(false);
}

void MainWindow::clearCharts()
{
    m_chartGps->clearPoints();
    m_chart1->clearBars();
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
    clearCharts();
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
    m_chartGps->addPoints(run.points);
    m_chart1->addBars(run.bars);
    m_resultPage->setLines(fromWindows1252(run.report));
    if (!run.completed()) {
        m_prompter.errorBox(this, fromWindows1252(run.errorString));
        return;
    }

    if (run.fixAccepted())
        m_actions.SavefilteredData1->setEnabled(true);
    m_labelN->setText(fromWindows1252(run.latitudeText));
    m_labelE->setText(fromWindows1252(run.longitudeText));
    m_labelToa->setText(fromWindows1252(run.timeSpanText));
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
    m_filterResult.latitudeSum = 0.0;
    m_filterResult.longitudeSum = 0.0;
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
    m_chartGps->addPoints(view.points);
    m_chart1->addBars(view.bars);
    m_filterResult.latitudeSum = view.latitudeSum;
    m_filterResult.longitudeSum = view.longitudeSum;
    if (!view.completed()) {
        m_prompter.errorBox(this, fromWindows1252(view.errorString));
        return;
    }
    m_resultPage->appendLines(fromWindows1252(view.reportLines));
    m_labelN->setText(fromWindows1252(view.latitudeText));
    m_labelE->setText(fromWindows1252(view.longitudeText));
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
