#include "app/fixclasscolours.h"

#include "filter/fixquality.h"

namespace {

const char *const kNames[FixClassColours::kKinds] = {
    "RTK fixed", "RTK float", "Differential", "Autonomous", "Estimated, manual, simulated",
};
const QRgb kColours[FixClassColours::kKinds] = {
    qRgb(0, 150, 60), qRgb(235, 125, 0), qRgb(40, 175, 235), 0, qRgb(150, 150, 150),
};

} // namespace

FixClassColours::FixClassColours(const std::vector<std::uint8_t> &classes, QRgb plain) : m_plain(plain)
{
    for (const std::uint8_t fixClass : classes)
        add(fixClass);
}

void FixClassColours::add(std::uint8_t fixClass)
{
    bool &present = m_present[kindOf(fixClass)];
    if (!present) {
        present = true;
        ++m_kinds;
    }
}

FixClassColours::Kind FixClassColours::kindOf(std::uint8_t fixClass)
{
    using navorel::FixClass;
    switch (static_cast<FixClass>(fixClass)) {
    case FixClass::RtkFixed: return RtkFixed;
    case FixClass::RtkFloat: return RtkFloat;
    case FixClass::Precise:
    case FixClass::Differential: return Differential;
    case FixClass::Autonomous:
    case FixClass::Unknown: return Plain;
    default: return Unmeasured;
    }
}

QRgb FixClassColours::colourOf(std::uint8_t fixClass) const
{
    const Kind kind = kindOf(fixClass);
    return !coloured() || kind == Plain ? m_plain : kColours[kind];
}

QList<FixClassColours::Entry> FixClassColours::legend() const
{
    QList<Entry> entries;
    if (!coloured())
        return entries;
    for (std::size_t k = 0; k < kKinds; ++k) {
        if (m_present[k])
            entries.append({QString::fromLatin1(kNames[k]), k == Plain ? m_plain : kColours[k]});
    }
    return entries;
}
