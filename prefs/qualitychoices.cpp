#include "prefs/qualitychoices.h"

#include <QComboBox>
#include <QLabel>

#include "prefs/settingsstore.h"
#include "ui/hints.h"

namespace {

struct Choice
{
    const char *caption;
    int value;
    const char *tip;
};

const Choice kMinQualities[] = {
    {"Any fix", static_cast<int>(navorel::MinQuality::Any),
     "Every valid fix counts, whatever the receiver says of it"},
    {"Autonomous or better", static_cast<int>(navorel::MinQuality::Autonomous),
     "Leaves out estimated (dead reckoning), manual and simulated fixes, which measure nothing"},
    {"Differential or better", static_cast<int>(navorel::MinQuality::Differential),
     "Only fixes corrected by DGPS, SBAS or RTK"},
    {"RTK float or better", static_cast<int>(navorel::MinQuality::RtkFloat),
     "Only RTK fixes, float or fixed: decimetres and better"},
    {"RTK fixed only", static_cast<int>(navorel::MinQuality::RtkFixed), "Only RTK fixed fixes: centimetres"},
};

const Choice kChecksums[] = {
    {"Default", static_cast<int>(navorel::ChecksumMode::Default),
     "Verified when all satellite systems are read; ignored with GPS only, as the classic program did"},
    {"Verify", static_cast<int>(navorel::ChecksumMode::Verify),
     "Sentences with a wrong checksum are left out and counted: a cable, baud-rate or cut-log fault"},
    {"Ignore", static_cast<int>(navorel::ChecksumMode::Ignore), "Every sentence is used as it came"},
};

QComboBox *comboBox(QWidget *parent, const char *name, const QRect &place, const Choice *choices,
                    std::size_t count, const QString &hint)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    for (std::size_t i = 0; i < count; ++i) {
        box->addItem(QString::fromLatin1(choices[i].caption), choices[i].value);
        box->setItemData(static_cast<int>(i), QString::fromLatin1(choices[i].tip), Qt::ToolTipRole);
    }
    setHint(box, hint);
    return box;
}

} // namespace

QualityChoices::QualityChoices(SettingsStore &settings, QWidget *parent)
        : QGroupBox(QStringLiteral(" Quality "), parent), m_settings(settings)
{
    setObjectName(QStringLiteral("GB_Quality"));
    // Not in NAVRL.ini: navorel.conf beside it keeps the choices.
    const QString qualityHint = QStringLiteral(
        "The least a fix must be to count|Fixes the receiver marks worse than this are left out of the mean, "
        "the lines and the charts, and counted on the Precision page");
    const QString checksumHint = QStringLiteral(
        "Whether sentences with a wrong checksum are used|Verify: a sentence whose checksum is wrong is left "
        "out and counted. Ignore: every sentence is used as it came");
    hintedLabel(this, "Label_MinQuality", QStringLiteral("Minimum fix quality"), QPoint(7, 20), qualityHint);
    m_minQuality = comboBox(this, "COB_MinQuality", QRect(7, 37, 160, 22), kMinQualities,
                            std::size(kMinQualities), qualityHint);
    hintedLabel(this, "Label_Checksums", QStringLiteral("Checksums"), QPoint(175, 20), checksumHint);
    m_checksums = comboBox(this, "COB_Checksums", QRect(175, 37, 115, 22), kChecksums, std::size(kChecksums),
                           checksumHint);

    connect(m_minQuality, &QComboBox::activated, this, [this](int index) {
        m_settings.setMinQuality(static_cast<navorel::MinQuality>(m_minQuality->itemData(index).toInt()));
    });
    connect(m_checksums, &QComboBox::activated, this, [this](int index) {
        m_settings.setChecksums(static_cast<navorel::ChecksumMode>(m_checksums->itemData(index).toInt()));
    });
    connect(&m_settings, &SettingsStore::minQualityChanged, this, &QualityChoices::showMinQuality);
    connect(&m_settings, &SettingsStore::checksumsChanged, this, &QualityChoices::showChecksums);
    showMinQuality(m_settings.settings().MinQuality);
    showChecksums(m_settings.settings().Checksums);
}

void QualityChoices::showMinQuality(navorel::MinQuality minimum)
{
    m_minQuality->setCurrentIndex(m_minQuality->findData(static_cast<int>(minimum)));
}

void QualityChoices::showChecksums(navorel::ChecksumMode mode)
{
    m_checksums->setCurrentIndex(m_checksums->findData(static_cast<int>(mode)));
}
