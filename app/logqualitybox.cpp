#include "app/logqualitybox.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

struct ClassText
{
    const char *label;
    const char *tip; // %1: how many
};

// In the order of navorel::FixClass.
const ClassText kClasses[navorel::kFixClasses] = {
    {"RTK fixed", "%1 the receiver marked RTK fixed: corrected by a base station, good to a few "
                  "centimetres"},
    {"RTK float", "%1 the receiver marked RTK float: corrected by a base station but not yet "
                  "resolved, good to decimetres"},
    {"Precise", "%1 the receiver marked precise (the military P code)"},
    {"Differential", "%1 corrected by DGPS or SBAS (EGNOS, WAAS): good to about a metre"},
    {"Autonomous", "%1 from the satellites alone, without corrections: good to a few metres"},
    {"Quality not given", "%1 whose sentence does not say how good they are (receivers older than "
                          "NMEA 2.3)"},
    {"Estimated", "%1 the receiver estimated without satellites (dead reckoning): they measure "
                  "nothing"},
    {"Manual", "%1 typed into the receiver by hand: they measure nothing"},
    {"Simulated", "%1 from the receiver's simulator: they measure nothing"},
    {"Invalid", "%1 the receiver itself marked invalid"},
};

QString count(std::size_t n)
{
    return QString::number(n);
}

// "1 fix", "3 fixes": the tooltips begin with how many.
QString counted(std::size_t n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

LogQualityBox::LogQualityBox(QWidget *parent)
        : QGroupBox(QStringLiteral("Log"), parent), m_table(new QTableWidget)
{
    m_table->setObjectName(QStringLiteral("LogQuality"));
    m_table->setColumnCount(2);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_table->setShowGrid(false);
    m_table->setWordWrap(false);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    setToolTip(QStringLiteral("What the log held, and what was left out of the mean"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_table);
    clear();
}

void LogQualityBox::clear()
{
    showRows({});
}

void LogQualityBox::showQuality(const navorel::LogQuality &q, navorel::MinQuality minimum)
{
    QList<Row> rows;
    for (std::size_t c = 0; c < navorel::kFixClasses; ++c) {
        if (q.fixClasses[c] > 0)
            rows.append({QString::fromLatin1(kClasses[c].label), count(q.fixClasses[c]),
                         QString::fromLatin1(kClasses[c].tip)
                             .arg(counted(q.fixClasses[c], c == 7 || c == 8 ? "position" : "fix",
                                          c == 7 || c == 8 ? "positions" : "fixes"))});
    }
    const QString level = QString::fromLatin1(navorel::minQualityText(minimum).data());
    rows.append({QStringLiteral("Below the minimum quality"), count(q.belowMinimum),
                 QStringLiteral("%1 below the minimum fix quality (%2), left out of the mean: "
                                "Preferences, Filter, \"Minimum fix quality\" sets it")
                     .arg(counted(q.belowMinimum, "fix", "fixes"))
                     .arg(level)});
    rows.append({QStringLiteral("Wrong checksum"), count(q.checksumErrors),
                 QStringLiteral("%1 a wrong checksum and %2 left out: a cable or baud-rate "
                                "problem, or a log cut while it was written")
                     .arg(counted(q.checksumErrors, "sentence had", "sentences had"))
                     .arg(QLatin1String(q.checksumErrors == 1 ? "was" : "were"))});
    rows.append({QStringLiteral("Without checksum"), count(q.withoutChecksum),
                 QStringLiteral("%1 no checksum and %2 used as it came: nothing tells whether "
                                "a sentence arrived whole")
                     .arg(counted(q.withoutChecksum, "sentence had", "sentences had"))
                     .arg(QLatin1String(q.withoutChecksum == 1 ? "was" : "were"))});
    rows.append({QStringLiteral("Impossible positions"), count(q.impossiblePositions),
                 QStringLiteral("%1 a position that cannot be (beyond a pole, or 60 minutes or "
                                "more), left out: receivers send such before they know where they are")
                     .arg(counted(q.impossiblePositions, "fix gave", "fixes gave"))});
    const std::size_t gaps = q.times.gaps();
    rows.append(
        {QStringLiteral("Time gaps"),
         gaps == 0
             ? count(0)
             : QStringLiteral("%1 (longest %2 s)").arg(gaps).arg(q.times.longestGapSeconds(), 0, 'f', 0),
         QStringLiteral("%1 the fixes were more than twice the usual interval apart: the "
                        "receiver lost its fix or the recording paused. The mean is not changed")
             .arg(counted(gaps, "time", "times"))});
    rows.append({QStringLiteral("Time going back"), count(q.times.backwards()),
                 QStringLiteral("%1 earlier than the one before: logs pasted together, or a jump "
                                "of the receiver's clock. The mean is not changed")
                     .arg(counted(q.times.backwards(), "fix was", "fixes were"))});
    showRows(rows);
}

void LogQualityBox::showRows(const QList<Row> &rows)
{
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem *item = m_table->item(r, column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                m_table->setItem(r, column, item);
            }
            item->setText(column == 0 ? rows[r].label : rows[r].value);
            item->setToolTip(rows[r].tip);
            if (column == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}
