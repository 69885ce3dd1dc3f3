#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "exports/xmlwriter.h"
#include "filter/acceptedfixes.h"

namespace navorel {

// The fixes of a run as a GPX 1.1 track, made piece by piece as the run
// hands them over, so that a track of any length goes to its file without
// being held whole. Fixes beyond a pole or outside ±180° are left out, so
// are heights without a decimal text and times that are no real date and
// time of day; the track's <desc> says how many. As that is known only at
// the end, the head is written without it first: describedHead() then
// replaces the first headBytes() bytes.
class GpxTrackWriter
{
public:
    explicit GpxTrackWriter(std::string_view name);

    void add(const AcceptedFixes &fixes);
    // Closes the document.
    void finish();
    // The text made since the last call.
    std::string takeText() { return m_xml.takeText(); }

    std::size_t headBytes() const { return m_headBytes; }
    // The head with the <desc> of what was left out; empty when nothing was.
    std::string describedHead() const;
    // "2 fixes left out: ..." as the <desc> says it; empty when nothing was left out.
    std::string leftOutText() const;

    std::size_t fixesLeftOut() const { return m_fixesLeftOut; }
    std::size_t altitudesLeftOut() const { return m_altitudesLeftOut; }
    std::size_t timesLeftOut() const { return m_timesLeftOut; }

private:
    std::string m_name;
    XmlWriter m_xml;
    std::size_t m_headBytes = 0;
    std::size_t m_fixesLeftOut = 0;
    std::size_t m_altitudesLeftOut = 0;
    std::size_t m_timesLeftOut = 0;
};

} // namespace navorel
