#pragma once

#include <QGroupBox>

#include "filter/logquality.h"

class QTableWidget;

// The "Log" group of the Precision page: how many fixes of each class the
// log held, and what the rules left out (wrong checksums, fixes below the
// minimum quality, impossible positions) or found amiss (gaps, time going
// back). Each row says in its tooltip what it means and what to do.
class LogQualityBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit LogQualityBox(QWidget *parent = nullptr);

    void showQuality(const navorel::LogQuality &quality, navorel::MinQuality minimum);
    void clear();

    QTableWidget *table() const { return m_table; }

private:
    struct Row
    {
        QString label;
        QString value;
        QString tip;
    };
    void showRows(const QList<Row> &rows);

    QTableWidget *m_table;
};
