#pragma once

#include <QString>

// Who and what the program is: the window caption, the About box and the bug
// report take these.
struct ProductInfo
{
    QString productName = QStringLiteral("Navorel");
    QString version = QStringLiteral(NAVOREL_VERSION);
    QString build = QStringLiteral("003.082");
    QString creditLine = QStringLiteral("\u00A9 2026 the Navorel developers");
    QString website = QStringLiteral("https://navorel.example.org");
    QString supportAddress = QStringLiteral("support@navorel.example.org");

    // "Navorel 0.8.2": a second start finds the running window by it.
    QString caption() const { return productName + QLatin1Char(' ') + version; }
};
