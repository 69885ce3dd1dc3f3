#pragma once

#include <QTableWidget>

#include "filter/logquality.h"
#include "filter/meanuncertainty.h"
#include "filter/precisionfigures.h"

// The figures of the Precision page, one row each with a tooltip in plain
// words: how far the mean may be from the truth, how far one fix strays,
// and how much longer to log for a smaller uncertainty.
class FiguresTable : public QTableWidget
{
    Q_OBJECT

public:
    explicit FiguresTable(QWidget *parent = nullptr);

    void showFigures(const navorel::PrecisionFigures &figures, const navorel::MeanUncertainty &uncertainty,
                     const navorel::LogQuality &quality);

    // "±0.57 m", with as many decimals as the size needs.
    static QString radiusText(double metres);
    // "45 s", "12 min", "3.5 h", "4 days": a time to log more, rounded up.
    static QString durationText(double seconds);

private:
    struct Row
    {
        QString label;
        QString value; // none: the label fills the row
        QString tip;
        bool whole = false;
    };
    static QList<Row> logMoreRows(const navorel::PrecisionFigures &figures,
                                  const navorel::MeanUncertainty &uncertainty);
    void showRows(const QList<Row> &rows);
    void fitWidth();
};
