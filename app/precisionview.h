#pragma once

#include <QWidget>

#include "filter/acceptedfixes.h"
#include "filter/precisionfigures.h"

class ConvergenceChart;
class PrecisionPlot;
class QTableWidget;

// The "Precision" page: the fixes round their mean in metres, the figures
// of their spread as a table beside them, and the running mean settling.
class PrecisionView : public QWidget
{
    Q_OBJECT

public:
    explicit PrecisionView(QWidget *parent = nullptr);

    // Shows the accepted fixes of a run and keeps them for the exports.
    void showFixes(navorel::AcceptedFixes fixes);
    void clear();

    const navorel::AcceptedFixes &fixes() const { return m_fixes; }
    const navorel::PrecisionFigures &figures() const { return m_figures; }

    PrecisionPlot *plot() const { return m_plot; }
    ConvergenceChart *convergenceChart() const { return m_convergence; }
    QTableWidget *figuresTable() const { return m_table; }

private:
    void fillTable();

    navorel::AcceptedFixes m_fixes;
    navorel::PrecisionFigures m_figures;
    PrecisionPlot *m_plot;
    ConvergenceChart *m_convergence;
    QTableWidget *m_table;
};
