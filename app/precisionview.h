#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "filter/acceptedfixes.h"
#include "filter/logquality.h"
#include "filter/meanuncertainty.h"
#include "filter/precisionfigures.h"

class AllanChart;
class FiguresTable;
class LogQualityBox;
class PrecisionPlot;
class QLabel;
class QToolButton;

// The "Precision" page: how far to trust the mean position, in large type
// at the top, the fixes round their mean in metres beside the figures of
// their spread and what the log held, and below how the mean improves
// with averaging time.
class PrecisionView : public QWidget
{
    Q_OBJECT

public:
    explicit PrecisionView(QWidget *parent = nullptr);

    // Measures the accepted fixes of a run and shows them, kept for the
    // exports; classes, when given, holds the class of every fix.
    void showFixes(navorel::AcceptedFixes fixes, std::vector<std::uint8_t> classes = {},
                   const navorel::LogQuality &quality = {}, navorel::MinQuality minimum = {});
    // Shows figures the core has measured already on fixes that stay the
    // caller's, unchanged until the next call: a survey shows its fixes so
    // far again and again, without copying or measuring them here.
    void showFigures(const navorel::AcceptedFixes &fixes, const std::vector<std::uint8_t> *classes,
                     const navorel::PrecisionFigures &figures, const navorel::MeanUncertainty &uncertainty,
                     const navorel::LogQuality &quality, navorel::MinQuality minimum);
    void clear();

    const navorel::AcceptedFixes &fixes() const { return *m_shownFixes; }
    const navorel::PrecisionFigures &figures() const { return m_figures; }
    const navorel::MeanUncertainty &uncertainty() const { return m_uncertainty; }

    // "Mean position ±0.57 m (95 %)", or what stands in its place.
    QString headline() const;
    // The mean as "lat, lon" in decimal degrees, as many decimals as the
    // uncertainty needs; the line the second button copies.
    QString coordinates() const { return m_coordinates; }
    QString copiedLine() const;
    bool warnsOfMovement() const;

    PrecisionPlot *plot() const { return m_plot; }
    AllanChart *allanChart() const { return m_allan; }
    FiguresTable *figuresTable() const { return m_table; }
    LogQualityBox *logBox() const { return m_log; }
    QLabel *headlineLabel() const { return m_headline; }
    QLabel *warningLabel() const { return m_warning; }
    QToolButton *copyPositionButton() const { return m_copyPosition; }
    QToolButton *copyLineButton() const { return m_copyLine; }

private:
    void showHeadline();

    navorel::AcceptedFixes m_fixes; // of showFixes
    std::vector<std::uint8_t> m_classes;
    const navorel::AcceptedFixes *m_shownFixes = &m_fixes;
    navorel::PrecisionFigures m_figures;
    navorel::MeanUncertainty m_uncertainty;
    QString m_coordinates;
    PrecisionPlot *m_plot;
    AllanChart *m_allan;
    FiguresTable *m_table;
    LogQualityBox *m_log;
    QLabel *m_warning;
    QLabel *m_headline;
    QLabel *m_position;
    QToolButton *m_copyPosition;
    QToolButton *m_copyLine;
};
