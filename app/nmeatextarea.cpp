#include "app/nmeatextarea.h"

NmeaTextArea::NmeaTextArea(QWidget *parent) : QsciScintilla(parent)
{
    setUtf8(false);
    setEolMode(EolWindows);
}

void NmeaTextArea::setBytes(std::string_view bytes)
{
    setText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string NmeaTextArea::bytes() const
{
    return text().toLatin1().toStdString();
}

void NmeaTextArea::clearText()
{
    clear();
}

std::size_t NmeaTextArea::lineCount() const
{
    return 0;
}

std::string NmeaTextArea::lineAt(std::size_t) const
{
    return {};
}

void NmeaTextArea::appendLine(std::string_view line)
{
    append(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}
