#include "app/precisionview.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/allanchart.h"
#include "app/figurestable.h"
#include "app/logqualitybox.h"
#include "app/precisionplot.h"
#include "filter/surveytexts.h"

namespace {

QToolButton *copyButton(const QString &text, const QString &tip)
{
    auto *button = new QToolButton;
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(false);
    return button;
}

} // namespace

PrecisionView::PrecisionView(QWidget *parent)
        : QWidget(parent), m_plot(new PrecisionPlot), m_allan(new AllanChart), m_table(new FiguresTable),
          m_log(new LogQualityBox), m_warning(new QLabel), m_headline(new QLabel), m_position(new QLabel),
          m_copyPosition(copyButton(QStringLiteral("Copy lat, lon"),
                                    QStringLiteral("Copies the mean position as \"latitude, longitude\" in "
                                                   "decimal degrees, for a map or a spreadsheet"))),
          m_copyLine(copyButton(QStringLiteral("Copy line"),
                                QStringLiteral("Copies the mean position with how far to trust it")))
{
    m_plot->setToolTip(QStringLiteral("Fixes round their mean, in metres"));
    m_allan->setToolTip(
        QStringLiteral("How far the mean of fixes over an averaging time strays from the next such mean. "
                       "Falling along the dashed line: averaging longer still helps. Flat or rising: it no "
                       "longer does, the receiver's error wanders more slowly than that"));
    m_warning->setObjectName(QStringLiteral("MovingWarning"));
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("background: #fff1c2; color: #6b4a00; border: 1px solid #e0b84a; "
                                            "padding: 3px;"));
    m_warning->setText(QStringLiteral("\u26A0 The receiver moved: these fixes make a track, not a position, "
                                      "and the mean of a track means little."));
    m_warning->setToolTip(
        QStringLiteral("95 % of the fixes lie more than 50 m apart, or the receiver reported "
                       "a speed over ground above 1 knot: no antenna standing still does "
                       "that"));
    m_warning->hide();
    QFont large = m_headline->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    m_headline->setFont(large);
    m_headline->setObjectName(QStringLiteral("MeanHeadline"));
    m_headline->setToolTip(QStringLiteral(
        "The true position lies within this distance of the mean with 95 % probability, allowing for fixes "
        "that are not independent. \"or more\": the receiver's error wanders over most of the log, so the "
        "log is too short to say more than at least this"));
    m_position->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_position->setToolTip(QStringLiteral("The mean position in decimal degrees, negative south and west, "
                                          "with as many decimals as its uncertainty allows"));
    connect(m_copyPosition, &QToolButton::clicked, this,
            [this] { QApplication::clipboard()->setText(m_coordinates); });
    connect(m_copyLine, &QToolButton::clicked, this,
            [this] { QApplication::clipboard()->setText(copiedLine()); });

    auto *head = new QHBoxLayout;
    head->setContentsMargins(6, 4, 6, 2);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(m_headline);
    texts->addWidget(m_position);
    head->addLayout(texts, 1);
    head->addWidget(m_copyPosition, 0, Qt::AlignVCenter);
    head->addWidget(m_copyLine, 0, Qt::AlignVCenter);

    auto *side = new QSplitter(Qt::Vertical);
    side->addWidget(m_table);
    side->addWidget(m_log);
    side->setStretchFactor(0, 3);
    side->setStretchFactor(1, 2);
    auto *top = new QSplitter(Qt::Horizontal);
    top->addWidget(m_plot);
    top->addWidget(side);
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(top);
    split->addWidget(m_allan);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_warning);
    layout->addLayout(head);
    layout->addWidget(split, 1);
    clear();
}

void PrecisionView::showFixes(navorel::AcceptedFixes fixes, std::vector<std::uint8_t> classes,
                              const navorel::LogQuality &quality, navorel::MinQuality minimum)
{
    m_fixes = std::move(fixes);
    m_classes = std::move(classes);
    const navorel::PrecisionFigures figures = navorel::measurePrecision(m_fixes);
    showFigures(m_fixes, &m_classes, figures, navorel::measureUncertainty(m_fixes, figures), quality,
                minimum);
}

void PrecisionView::showFigures(const navorel::AcceptedFixes &fixes, const std::vector<std::uint8_t> *classes,
                                const navorel::PrecisionFigures &figures,
                                const navorel::MeanUncertainty &uncertainty,
                                const navorel::LogQuality &quality, navorel::MinQuality minimum)
{
    m_shownFixes = &fixes;
    m_figures = figures;
    m_uncertainty = uncertainty;
    m_plot->setFixes(&fixes, m_figures, classes);
    m_allan->setPoints(uncertainty.allan);
    m_table->showFigures(m_figures, m_uncertainty, quality);
    if (m_figures.empty())
        m_log->clear();
    else
        m_log->showQuality(quality, minimum);
    m_warning->setVisible(navorel::receiverMoved(m_figures, quality));
    showHeadline();
}

void PrecisionView::clear()
{
    m_fixes = navorel::AcceptedFixes();
    m_classes.clear();
    showFigures(m_fixes, nullptr, {}, {}, {}, navorel::MinQuality::Any);
}

bool PrecisionView::warnsOfMovement() const
{
    return !m_warning->isHidden();
}

QString PrecisionView::headline() const
{
    if (m_figures.empty())
        return QStringLiteral("No fixes");
    if (!m_uncertainty.measured)
        return QStringLiteral("Mean position: 64 fixes or more tell how far to trust it");
    const QString radius = FiguresTable::radiusText(m_uncertainty.r95);
    if (!m_uncertainty.settled)
        return radius + QStringLiteral(" or more: log longer to know");
    return QStringLiteral("Mean position %1 (95 %)").arg(radius);
}

QString PrecisionView::copiedLine() const
{
    if (m_figures.empty())
        return {};
    if (!m_uncertainty.measured)
        return QStringLiteral("Mean position %1").arg(m_coordinates);
    return QStringLiteral("Mean position %1 %2%3 (95 %)")
        .arg(m_coordinates, FiguresTable::radiusText(m_uncertainty.r95),
             m_uncertainty.settled ? QString() : QStringLiteral(" or more"));
}

void PrecisionView::showHeadline()
{
    const bool fix = !m_figures.empty();
    // Without an uncertainty a metre's worth of decimals: no more than a fix is good for.
    const int decimals = navorel::degreeDecimals(m_uncertainty.measured ? m_uncertainty.r95 : 1.0);
    m_coordinates = fix ? QString::fromStdString(navorel::decimalPositionText(
                        m_figures.meanLatitude, m_figures.meanLongitude, decimals))
                        : QString();
    m_headline->setText(headline());
    m_position->setText(m_coordinates);
    m_position->setVisible(fix);
    m_copyPosition->setEnabled(fix);
    m_copyLine->setEnabled(fix);
}
