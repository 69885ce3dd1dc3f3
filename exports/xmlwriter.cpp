#include "exports/xmlwriter.h"

#include "filter/codepage.h"

namespace navorel {

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not one.
std::size_t sequenceLength(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

bool isUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

} // namespace

XmlWriter::XmlWriter() : m_text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void XmlWriter::indent()
{
    m_text.append(2 * m_open.size(), ' ');
}

void XmlWriter::start(std::string_view name, Attributes attributes)
{
    indent();
    m_text += '<';
    m_text += name;
    for (const auto &[key, value] : attributes) {
        m_text += ' ';
        m_text += key;
        m_text += "=\"";
        m_text += escaped(value);
        m_text += '"';
    }
    m_text += ">\n";
    m_open.emplace_back(name);
}

void XmlWriter::end()
{
    if (m_open.empty())
        return;
    const std::string name = std::move(m_open.back());
    m_open.pop_back();
    indent();
    m_text += "</";
    m_text += name;
    m_text += ">\n";
}

void XmlWriter::element(std::string_view name, std::string_view text)
{
    indent();
    m_text += '<';
    m_text += name;
    m_text += '>';
    m_text += escaped(text);
    m_text += "</";
    m_text += name;
    m_text += ">\n";
}

void XmlWriter::endAll()
{
    while (!m_open.empty())
        end();
}

std::string XmlWriter::finish()
{
    endAll();
    return std::exchange(m_text, std::string());
}

std::string XmlWriter::escaped(std::string_view text)
{
    std::string converted;
    if (!isUtf8(text)) {
        converted = windows1252ToUtf8(text);
        text = converted;
    }
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += c;
        }
    }
    return out;
}

} // namespace navorel
