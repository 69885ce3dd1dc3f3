#include "ui/formfont.h"

#include <QApplication>

QFont formFont()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}
