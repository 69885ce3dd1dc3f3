#include "app/precisionview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/convergencechart.h"
#include "app/precisionplot.h"

namespace {

QString metres(double value)
{
    return QString::number(value, 'f', 3) + QStringLiteral(" m");
}

QString degrees(double value)
{
    return QString::number(value, 'f', 9) + QChar(0x00B0);
}

QString seconds(double value)
{
    const auto whole = static_cast<long long>(std::llround(value));
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QChar('0'))
        .arg(whole % 60, 2, 10, QChar('0'));
}

} // namespace

PrecisionView::PrecisionView(QWidget *parent)
        : QWidget(parent), m_plot(new PrecisionPlot), m_convergence(new ConvergenceChart),
          m_table(new QTableWidget)
{
    m_table->setColumnCount(2);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_table->setShowGrid(false);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setToolTip(QStringLiteral("Spread of the fixes round their mean, in metres"));
    m_plot->setToolTip(QStringLiteral("Fixes round their mean, in metres"));
    m_convergence->setToolTip(QStringLiteral("Distance of the running mean from the final mean"));

    auto *top = new QSplitter(Qt::Horizontal);
    top->addWidget(m_plot);
    top->addWidget(m_table);
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(top);
    split->addWidget(m_convergence);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);
    clear();
}

void PrecisionView::showFixes(navorel::AcceptedFixes fixes)
{
    m_fixes = std::move(fixes);
    std::vector<navorel::ConvergencePoint> curve;
    m_figures = navorel::measurePrecision(m_fixes, &curve);
    m_plot->setFixes(&m_fixes, m_figures);
    m_convergence->setCurve(std::move(curve), m_figures.timed);
    fillTable();
}

void PrecisionView::clear()
{
    m_fixes = navorel::AcceptedFixes();
    m_figures = navorel::PrecisionFigures();
    m_plot->clear();
    m_convergence->clear();
    fillTable();
}

void PrecisionView::fillTable()
{
    const navorel::PrecisionFigures &f = m_figures;
    const QString none = QStringLiteral("-");
    const bool fix = !f.empty();
    const bool altitude = f.altitudeFixes > 0;
    const QChar sigma(0x03C3);
    QList<std::pair<QString, QString>> rows = {
        {QStringLiteral("Fixes"), QString::number(f.fixes)},
        {QStringLiteral("Latitude"), fix ? degrees(f.meanLatitude) : none},
        {QStringLiteral("Longitude"), fix ? degrees(f.meanLongitude) : none},
        {sigma + QStringLiteral(" north"), fix ? metres(f.sigmaNorth) : none},
        {sigma + QStringLiteral(" east"), fix ? metres(f.sigmaEast) : none},
        {QStringLiteral("DRMS"), fix ? metres(f.drms) : none},
        {QStringLiteral("2DRMS"), fix ? metres(f.twiceDrms) : none},
        {QStringLiteral("CEP50"), fix ? metres(f.cep50) : none},
        {QStringLiteral("CEP95"), fix ? metres(f.cep95) : none},
        {QStringLiteral("Largest"), fix ? metres(f.maxDistance) : none},
        {QStringLiteral("Altitude"), altitude ? metres(f.altitudeMean) : none},
        {sigma + QStringLiteral(" altitude"), altitude ? metres(f.altitudeSigma) : none},
        {QStringLiteral("Time span"), fix && f.timed ? seconds(f.timeSpan) : none},
    };
    for (std::size_t r = 0; r < f.settled.size(); ++r) {
        const QString value = !fix || !f.timed ? none
                              : f.settled[r]   ? seconds(*f.settled[r])
                                               : QStringLiteral("not reached");
        rows.append({QStringLiteral("Within %1 m").arg(navorel::PrecisionFigures::kSettleRadii[r]), value});
    }
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        m_table->setItem(r, 0, new QTableWidgetItem(rows[r].first));
        auto *value = new QTableWidgetItem(rows[r].second);
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(r, 1, value);
    }
    m_table->setCurrentCell(-1, -1);
}
