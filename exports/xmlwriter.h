#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace navorel {

// Builds a small indented XML document in UTF-8. The core links no Qt, so
// the exports that the desktop and the command line share are written here.
class XmlWriter
{
public:
    using Attributes = std::initializer_list<std::pair<std::string_view, std::string_view>>;

    XmlWriter();

    void start(std::string_view name, Attributes attributes = {});
    void end();
    // <name>text</name> on one line.
    void element(std::string_view name, std::string_view text);
    // Closes every element still open.
    void endAll();
    // The document with every element closed.
    std::string finish();
    // The bytes made and not taken yet.
    std::size_t textSize() const { return m_text.size(); }
    // The text made so far, handed over: what follows goes on from there,
    // so that a long document can be written out as it grows.
    std::string takeText() { return std::exchange(m_text, std::string()); }

    // text with &, <, >, " and ' as entities and the characters XML 1.0 does
    // not allow left out. Text that is not UTF-8 is read as Windows-1252.
    static std::string escaped(std::string_view text);

private:
    void indent();

    std::string m_text;
    std::vector<std::string> m_open;
};

} // namespace navorel
