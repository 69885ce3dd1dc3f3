#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace navorel {

// A list of 8-bit text lines kept in one buffer, each line followed by its
// line break. A week of 1 Hz logging is millions of lines: one buffer and an
// offset per line keep that to a single allocation and about a byte per byte.
class TextLines
{
public:
    TextLines() = default;

    // Takes the bytes of a text as read from a file or from the text area.
    // CR LF, a lone CR and a lone LF each end a line; a line break at the very
    // end adds no line, and an empty text has no lines.
    static TextLines fromText(std::string text);

    std::size_t size() const { return m_starts.size(); }
    bool empty() const { return m_starts.empty(); }
    std::string_view operator[](std::size_t index) const;

    // Adds one line at the end (its line break is CR LF).
    void append(std::string_view line);
    // Adds all lines of other at the end.
    void append(const TextLines &other);
    void clear();
    // Room for that many lines and bytes; only the pages written to are taken.
    void reserve(std::size_t lines, std::size_t bytes);

    // The lines joined by CR LF, with none after the last line: what the
    // text area holds once the list is put into it.
    std::string joined() const;
    // The same without a copy, when the buffer holds it that way already.
    std::optional<std::string_view> joinedView() const;
    // Every line followed by CR LF, the last included: how lists are written.
    std::string withLineBreaks() const;
    // The same without a copy, when the buffer holds it that way already.
    std::optional<std::string_view> withLineBreaksView() const;
    void appendWithLineBreaks(std::string &out) const;

    // The bytes of the lines with their line breaks.
    std::size_t textBytes() const { return m_text.size(); }
    // Those bytes as held: the text the lines were taken from, or the lines
    // added each followed by CR LF.
    std::string_view text() const { return m_text; }

private:
    std::size_t lineEnd(std::size_t index) const;

    std::string m_text;
    std::vector<std::size_t> m_starts;
    bool m_onlyCrLf = true; // every line break in m_text is CR LF
};

// The text with every lone CR and every lone LF made a CR LF, as the text
// area holds a file; a line break at the very end stays.
std::string withCrLfBreaks(std::string text);

// Finds the next line break in [pos, size): returns its position, or size.
std::size_t findLineBreak(const char *data, std::size_t pos, std::size_t size);

// Whether the line break at pos is a CR LF: two bytes, one break.
inline bool isCrLfAt(const char *data, std::size_t pos, std::size_t size)
{
    return data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n';
}

// Where the line after the line break at pos begins.
inline std::size_t afterLineBreak(const char *data, std::size_t pos, std::size_t size)
{
    return isCrLfAt(data, pos, size) ? pos + 2 : pos + 1;
}

} // namespace navorel
