#pragma once

#include <QLabel>

// A one-line label that shortens its text in the middle when painted, so
// that a long file name keeps its start and its end in a fixed width.
// text() stays the whole text.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
