#pragma once

#include <Qsci/qsciscintilla.h>
#include <cstddef>
#include <string>
#include <string_view>

// The text area of the NMEA text: 8-bit Windows-1252 bytes kept exactly, CR LF
// line breaks, fast with logs of hundreds of megabytes.
class NmeaTextArea : public QsciScintilla
{
    Q_OBJECT

public:
    explicit NmeaTextArea(QWidget *parent = nullptr);

    // Replaces the whole text with bytes, as they are; not an undo step.
    void setBytes(std::string_view bytes);
    // The whole text as bytes.
    std::string bytes() const;
    void clearText();

    // Lines as a list of lines counts them: a line break at the very end
    // starts no further line, and an empty text has none.
    std::size_t lineCount() const;
    std::string lineAt(std::size_t index) const;
    // Adds a line at the end: after a CR LF unless the text is empty or
    // already ends with a line break.
    void appendLine(std::string_view line);
};
