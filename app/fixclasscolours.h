#pragma once

#include <QList>
#include <QRgb>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// The colours the charts give fixes by their class when a log holds more
// than one: RTK fixed green, RTK float orange, differential blue,
// autonomous and unknown the chart's own colour, fixes that measure
// nothing (estimated, manual, simulated) grey. A log of one kind keeps the
// chart's colour and needs no legend.
class FixClassColours
{
public:
    enum Kind : std::uint8_t { RtkFixed, RtkFloat, Differential, Plain, Unmeasured };
    static constexpr std::size_t kKinds = 5;

    struct Entry
    {
        QString name;
        QRgb colour;
    };

    FixClassColours() = default;
    explicit FixClassColours(QRgb plain) : m_plain(plain) {}
    // classes: the class of every fix (navorel::FixClass).
    FixClassColours(const std::vector<std::uint8_t> &classes, QRgb plain);
    // One more fix of the class.
    void add(std::uint8_t fixClass);

    static Kind kindOf(std::uint8_t fixClass);
    // More than one kind among the fixes.
    bool coloured() const { return m_kinds > 1; }
    QRgb colourOf(std::uint8_t fixClass) const;
    // The kinds the fixes are of, in the order of their quality; empty
    // when they are all of one.
    QList<Entry> legend() const;

private:
    QRgb m_plain = qRgb(0, 85, 168);
    std::array<bool, kKinds> m_present{};
    std::size_t m_kinds = 0;
};
