#include "app/figurestable.h"

#include <QHeaderView>
#include <QScrollBar>
#include <cmath>

namespace {

QString metres(double value)
{
    return QString::number(value, 'f', 3) + QStringLiteral(" m");
}

QString clock(double value)
{
    const auto whole = static_cast<long long>(std::llround(value));
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QChar('0'))
        .arg(whole % 60, 2, 10, QChar('0'));
}

// The observed figure with the receiver's own claim beside it, when it made one.
QString withClaim(double observed, std::optional<double> claimed)
{
    return claimed ? QStringLiteral("%1 (receiver: %2)").arg(metres(observed), metres(*claimed))
                   : metres(observed);
}

const QString kClaimTip = QStringLiteral(" In brackets what the receiver itself claims ($GPGST): most claim "
                                         "far less than they deliver.");

} // namespace

FiguresTable::FiguresTable(QWidget *parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("PrecisionFigures"));
    setColumnCount(2);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setShowGrid(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
}

QString FiguresTable::radiusText(double value)
{
    const int decimals = value < 0.1 ? 3 : value < 10 ? 2 : value < 100 ? 1 : 0;
    return QStringLiteral("\u00B1%1 m").arg(value, 0, 'f', decimals);
}

QString FiguresTable::durationText(double seconds)
{
    if (seconds < 120)
        return QStringLiteral("%1 s").arg(std::ceil(seconds), 0, 'f', 0);
    if (seconds < 120 * 60)
        return QStringLiteral("%1 min").arg(std::ceil(seconds / 60), 0, 'f', 0);
    if (seconds < 48 * 3600)
        return QStringLiteral("%1 h").arg(std::ceil(seconds / 360) / 10, 0, 'f', 1);
    return QStringLiteral("%1 days").arg(std::ceil(seconds / 86400), 0, 'f', 0);
}

QList<FiguresTable::Row> FiguresTable::logMoreRows(const navorel::PrecisionFigures &f,
                                                   const navorel::MeanUncertainty &u)
{
    const QString tip = QStringLiteral(
        "How much longer to log for the uncertainty of the mean to shrink to this: it falls with the root "
        "of the time logged, once the fixes' errors have been averaged over long enough");
    if (f.empty())
        return {};
    if (!u.measured)
        return {{QStringLiteral("Log more: needs 64 fixes or more to tell"), {}, tip, true}};
    if (!u.settled)
        return {
            {QStringLiteral("Log more: not known until the mean settles"),
             {},
             tip
                 + QStringLiteral(". The errors of these fixes are still correlated over most of the log: "
                                  "log longer, then look again"),
             true}};
    QList<Row> rows;
    for (std::size_t r = 0; r < u.logMore.size(); ++r) {
        const QString radius =
            QStringLiteral("\u00B1%1 m").arg(QString::number(navorel::MeanUncertainty::kRadii[r]));
        const double more = u.logMore[r].value_or(0.0);
        rows.append({more == 0 ? QStringLiteral("%1 reached").arg(radius)
                               : QStringLiteral("Log %1 more for %2").arg(durationText(more), radius),
                     {},
                     tip,
                     true});
    }
    return rows;
}

void FiguresTable::showFigures(const navorel::PrecisionFigures &f, const navorel::MeanUncertainty &u,
                               const navorel::LogQuality &quality)
{
    const QString none = QStringLiteral("-");
    const bool fix = !f.empty();
    const bool altitude = f.altitudeFixes > 0;
    const QChar sigma(0x03C3);
    const navorel::ReceiverSigma &claim = quality.receiverSigma;
    QString r95 = none;
    if (u.measured)
        r95 = u.settled ? radiusText(u.r95) : radiusText(u.r95) + QStringLiteral(" or more");
    QList<Row> rows = {
        {QStringLiteral("Fixes"), QString::number(f.fixes),
         QStringLiteral("How many fixes went into the mean")},
        {QStringLiteral("Mean, 95 %"), r95,
         QStringLiteral("The true position lies within this distance of the mean with 95 % probability, "
                        "allowing for fixes that are not independent. \"or more\": the log is too short "
                        "to say more than at least")},
        {QStringLiteral("Altitude, 95 %"), u.altitude95 ? radiusText(*u.altitude95) : none,
         QStringLiteral("The true height lies within this of the mean height with 95 % probability; shown "
                        "once the heights have settled")},
        {sigma + QStringLiteral(" north"), fix ? withClaim(f.sigmaNorth, claim.rms(0)) : none,
         QStringLiteral("How far one fix typically strays north or south of the mean (one standard "
                        "deviation).")
             + kClaimTip},
        {sigma + QStringLiteral(" east"), fix ? withClaim(f.sigmaEast, claim.rms(1)) : none,
         QStringLiteral("How far one fix typically strays east or west of the mean (one standard deviation).")
             + kClaimTip},
        {QStringLiteral("DRMS"), fix ? metres(f.drms) : none,
         QStringLiteral("The root mean square distance of the fixes from the mean: about two thirds of "
                        "them lie within")},
        {QStringLiteral("2DRMS"), fix ? metres(f.twiceDrms) : none,
         QStringLiteral("Twice DRMS: about 95 % of the fixes lie within this distance of the mean")},
        {QStringLiteral("CEP50"), fix ? metres(f.cep50) : none,
         QStringLiteral("Half the fixes lie within this distance of the mean")},
        {QStringLiteral("CEP95"), fix ? metres(f.cep95) : none,
         QStringLiteral("95 % of the fixes lie within this distance of the mean")},
        {QStringLiteral("Largest"), fix ? metres(f.maxDistance) : none,
         QStringLiteral("How far the farthest fix lies from the mean")},
        {QStringLiteral("Altitude"), altitude ? metres(f.altitudeMean) : none,
         QStringLiteral("The mean height above sea level of the GGA fixes that give one")},
        {sigma + QStringLiteral(" altitude"), altitude ? withClaim(f.altitudeSigma, claim.rms(2)) : none,
         QStringLiteral("How far the height of one fix typically strays from the mean height.") + kClaimTip},
        {QStringLiteral("Time span"), fix && f.timed ? clock(f.timeSpan) : none,
         QStringLiteral("From the first fix to the last, by the fixes' own times")},
    };
    // Right below the uncertainty of the mean: what to do about it.
    const QList<Row> more = logMoreRows(f, u);
    for (qsizetype i = 0; i < more.size(); ++i)
        rows.insert(2 + i, more[i]);
    showRows(rows);
}

// Items are reused: a survey shows its figures again every second.
void FiguresTable::showRows(const QList<Row> &rows)
{
    clearSpans();
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem *cell = item(r, column);
            if (cell == nullptr) {
                cell = new QTableWidgetItem;
                setItem(r, column, cell);
            }
            cell->setText(column == 0 ? rows[r].label : rows[r].value);
            cell->setToolTip(rows[r].tip);
            cell->setTextAlignment(column == 1 ? Qt::AlignRight | Qt::AlignVCenter
                                               : Qt::AlignLeft | Qt::AlignVCenter);
        }
        if (rows[r].whole)
            setSpan(r, 0, 1, 2);
    }
    setCurrentCell(-1, -1);
    fitWidth();
}

void FiguresTable::fitWidth()
{
    // Wide enough for every figure whole: the splitter gives the plot the rest.
    resizeColumnsToContents();
    int columns = horizontalHeader()->sectionSize(0) + horizontalHeader()->sectionSize(1);
    // A row that fills the table is as wide as its text.
    for (int r = 0; r < rowCount(); ++r) {
        if (columnSpan(r, 0) == 2)
            columns = std::max(columns, fontMetrics().horizontalAdvance(item(r, 0)->text()) + 8);
    }
    // Two digits of slack for the cells' margins.
    const int slack = 2 * fontMetrics().horizontalAdvance(QLatin1Char('0'));
    setMinimumWidth(columns + 2 * frameWidth() + verticalScrollBar()->sizeHint().width() + slack);
}
