#pragma once

#include <QProgressBar>

// The progress gauge: a navy bar whose percentage reads white over the bar
// and navy beside it, so that it can be read at any progress.
class Gauge : public QProgressBar
{
    Q_OBJECT

public:
    explicit Gauge(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
