#pragma once

#include <Qsci/qsciscintillabase.h>
#include <cstddef>
#include <memory>
#include <string_view>

#include "ui/editordocument.h"

// Fills a new document for a text area off screen, piece by piece: a filter
// result grows there while the log stays in view, with no list of its lines
// held beside it, and is then shown by swapping documents.
class DocumentBuilder
{
public:
    // sourceBytes: the size of the text the lines are made from, to make
    // room for them in few steps.
    DocumentBuilder(QsciScintillaBase *area, std::size_t sourceBytes);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder &) = delete;
    DocumentBuilder &operator=(const DocumentBuilder &) = delete;

    // Adds lines, each followed by CR LF, made from the first sourceRead
    // bytes of the source. The document holds them joined by CR LF, with
    // none after the last line, as the text area holds a list of lines.
    void appendLines(std::string_view lines, std::size_t sourceRead);
    // The document, ready to be shown in the area; the builder is done.
    EditorDocument take();

private:
    void makeRoom(std::size_t length, std::size_t sourceRead);

    QsciScintillaBase *m_area;
    std::unique_ptr<QsciScintillaBase> m_editor; // never shown
    std::size_t m_sourceBytes;
    std::size_t m_length = 0;
    std::size_t m_room = 0;
    bool m_hasLines = false;
};
