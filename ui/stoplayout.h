#pragma once

#include <QLayout>
#include <QList>

// Widgets in a row, each at its own x stop (in the parent's coordinates)
// while there is room, else right after the one before. When the row is too
// narrow for the last widget, that one goes under the first: the minimum
// width keeps the others in one row.
class StopLayout : public QLayout
{
public:
    explicit StopLayout(QWidget *parent = nullptr);
    ~StopLayout() override;

    void addWidget(QWidget *widget, int stop);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct Entry
    {
        QLayoutItem *item;
        int stop;
    };

    int rowHeight() const;
    // Width of the first count items side by side, without margins.
    int packedWidth(qsizetype count) const;
    int gap() const;

    QList<Entry> m_entries;
};
