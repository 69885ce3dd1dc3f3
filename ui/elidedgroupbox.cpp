#include "ui/elidedgroupbox.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

ElidedGroupBox::ElidedGroupBox(const QString &title, QWidget *parent) : QGroupBox(title, parent) {}

QSize ElidedGroupBox::minimumSizeHint() const
{
    // QGroupBox asks for the whole caption; an ellipsis is enough.
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const QSize caption(metrics.horizontalAdvance(QStringLiteral("\u2026 ")), metrics.height());
    return style()
        ->sizeFromContents(QStyle::CT_GroupBox, &option, caption, this)
        .expandedTo(QWidget::minimumSizeHint());
}

QString ElidedGroupBox::shownTitle(const QStyleOptionGroupBox &option) const
{
    const QRect label = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    const int padding = label.width() - fontMetrics().horizontalAdvance(option.text);
    // As much room right of the caption as the style leaves left of it.
    const int room = width() - 2 * label.left() - std::max(padding, 0);
    return fontMetrics().elidedText(option.text, Qt::ElideMiddle, std::max(room, 0));
}

void ElidedGroupBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // A file name is shown as it is: "R&D.nmea" keeps its "&".
    option.text = shownTitle(option).replace(QLatin1Char('&'), QStringLiteral("&&"));
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}
