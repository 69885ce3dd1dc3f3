#include "ui/elidedgroupbox.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

namespace {

// The group box's title marks a shortcut letter with "&"; "&&" is a plain "&".
QString withoutShortcut(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

ElidedGroupBox::ElidedGroupBox(const QString &caption, QWidget *parent)
        : QGroupBox(withoutShortcut(caption), parent), m_caption(caption)
{}

void ElidedGroupBox::setCaption(const QString &caption)
{
    m_caption = caption;
    setTitle(withoutShortcut(caption));
}

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
    const int padding = label.width() - fontMetrics().horizontalAdvance(m_caption);
    // As much room right of the caption as the style leaves left of it.
    const int room = width() - 2 * label.left() - std::max(padding, 0);
    return fontMetrics().elidedText(m_caption, Qt::ElideMiddle, std::max(room, 0));
}

void ElidedGroupBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // A file name is shown as it is: "R&D.nmea" keeps its "&".
    option.text = withoutShortcut(shownTitle(option));
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}
