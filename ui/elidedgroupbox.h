#pragma once

#include <QGroupBox>

class QStyleOptionGroupBox;

// A group box whose caption gives way to its contents: a long caption (a
// file name) is shortened in the middle when painted instead of widening
// the box. The caption is shown as it is: an "&" in it is no shortcut.
class ElidedGroupBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit ElidedGroupBox(const QString &caption, QWidget *parent = nullptr);

    // The whole caption, as set.
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownTitle(const QStyleOptionGroupBox &option) const;

    QString m_caption;
};
