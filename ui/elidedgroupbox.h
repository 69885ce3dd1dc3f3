#pragma once

#include <QGroupBox>

class QStyleOptionGroupBox;

// A group box whose caption gives way to its contents: a long caption (a
// file name) is shortened in the middle when painted instead of widening
// the box. title() stays the whole caption.
class ElidedGroupBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit ElidedGroupBox(const QString &title, QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownTitle(const QStyleOptionGroupBox &option) const;
};
