#include "exports/jsonsummary.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "exports/positionexport.h"
#include "filter/codepage.h"

namespace navorel {

namespace {

class JsonObject
{
public:
    JsonObject &member(std::string_view name, const std::string &json)
    {
        m_text += m_text.size() == 1 ? "" : ", ";
        m_text += JsonSummary::quoted(name);
        m_text += ": ";
        m_text += json;
        return *this;
    }
    JsonObject &member(std::string_view name, double value)
    {
        return member(name, JsonSummary::number(value));
    }
    JsonObject &member(std::string_view name, std::size_t value)
    {
        return member(name, std::to_string(value));
    }
    // Members written already, "name": value, ...
    JsonObject &raw(const std::string &members)
    {
        m_text += m_text.size() == 1 ? "" : ", ";
        m_text += members;
        return *this;
    }
    std::string text() const { return m_text + "}"; }

private:
    std::string m_text = "{";
};

constexpr const char *kNull = "null";

} // namespace

std::string JsonSummary::number(double value)
{
    if (!std::isfinite(value))
        return kNull;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc())
        return kNull;
    return std::string(buffer, result.ptr);
}

std::string JsonSummary::quoted(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonSummary::ofError(std::string_view message, std::size_t line)
{
    return JsonObject().member("error", quoted(windows1252ToUtf8(message))).member("line", line).text();
}

std::string JsonSummary::ofQuality(const LogQuality &quality, MinQuality minimum)
{
    JsonObject classes;
    for (std::size_t c = 0; c < kFixClasses; ++c)
        classes.member(fixClassName(static_cast<FixClass>(c)), quality.fixClasses[c]);
    std::string sigma = kNull;
    if (!quality.receiverSigma.empty()) {
        JsonObject axes;
        const char *const names[] = {"north", "east", "altitude"};
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const std::optional<double> rms = quality.receiverSigma.rms(axis);
            axes.member(names[axis], rms ? number(*rms) : std::string(kNull));
        }
        sigma = axes.text();
    }
    return JsonObject()
        .member("fix_classes", classes.text())
        .member("min_quality", quoted(minQualityText(minimum)))
        .member("below_minimum", quality.belowMinimum)
        .member("checksum_errors", quality.checksumErrors)
        .member("without_checksum", quality.withoutChecksum)
        .member("impossible_positions", quality.impossiblePositions)
        .member("time_gaps", quality.times.gaps())
        .member("longest_gap_s", quality.times.longestGapSeconds())
        .member("time_backwards", quality.times.backwards())
        .member("receiver_sigma_m", sigma)
        .text();
}

std::string JsonSummary::uncertaintyMembers(const MeanUncertainty &u)
{
    JsonObject members; // "{" and members; its braces are taken off below
    if (!u.measured) {
        members.member("mean_uncertainty_m", kNull).member("log_more_s", kNull);
    } else {
        members.member("mean_uncertainty_m",
                       JsonObject()
                           .member("r95", u.r95)
                           .member("east_se", u.eastStandardError)
                           .member("north_se", u.northStandardError)
                           .member("altitude_95", u.altitude95 ? number(*u.altitude95) : std::string(kNull))
                           .member("settled", std::string(u.settled ? "true" : "false"))
                           .member("batch_s", u.batchSeconds)
                           .text());
        if (!u.settled) {
            members.member("log_more_s", kNull);
        } else {
            const char *const radii[] = {"1", "0.5", "0.1"};
            static_assert(std::size(radii) == MeanUncertainty::kRadii.size());
            JsonObject more;
            for (std::size_t r = 0; r < std::size(radii); ++r)
                more.member(radii[r], *u.logMore[r]);
            members.member("log_more_s", more.text());
        }
    }
    std::string allan = "[";
    for (const AllanPoint &point : u.allan) {
        if (allan.size() > 1)
            allan += ", ";
        allan += JsonObject()
                     .member("tau_s", point.tauSeconds)
                     .member("east", point.east)
                     .member("north", point.north)
                     .member("altitude", point.altitude ? number(*point.altitude) : std::string(kNull))
                     .text();
    }
    members.member("allan_m", allan + "]");
    const std::string text = members.text();
    return text.substr(1, text.size() - 2);
}

std::string JsonSummary::ofRun(const FilterRun &run, const PrecisionFigures &figures)
{
    return ofRun(run, figures, measureUncertainty(run.fixes, figures));
}

std::string JsonSummary::ofRun(const FilterRun &run, const PrecisionFigures &figures,
                               const MeanUncertainty &uncertainty)
{
    JsonObject summary;
    summary.member("sentences_found", run.counts.found)
        .member("not_valid", run.counts.notValid)
        .member("fixes", run.counts.accepted);
    if (figures.empty()) {
        return summary.member("mean", kNull)
            .member("time_span_s", kNull)
            .member("precision_m", kNull)
            .member("altitude_m", kNull)
            .member("settled_s", kNull)
            .raw(uncertaintyMembers(uncertainty))
            .member("quality", ofQuality(run.quality, run.minQuality))
            .text();
    }
    // A mean beyond a pole or outside ±180° is none, nor are metres round it.
    const std::string impossible = PositionExport::impossibleMean(figures);
    if (!impossible.empty()) {
        summary.member("mean", kNull).member("mean_error", quoted(impossible));
    } else {
        // 180° E is the meridian written -180 in GPX; the same here.
        const double longitude = figures.meanLongitude == 180.0 ? -180.0 : figures.meanLongitude;
        summary.member(
            "mean", JsonObject().member("lat_deg", figures.meanLatitude).member("lon_deg", longitude).text());
    }
    summary.member("time_span_s", figures.timed ? number(figures.timeSpan) : kNull);
    summary.member("precision_m", !impossible.empty() ? std::string(kNull)
                                                      : JsonObject()
                                                            .member("sigma_north", figures.sigmaNorth)
                                                            .member("sigma_east", figures.sigmaEast)
                                                            .member("drms", figures.drms)
                                                            .member("twice_drms", figures.twiceDrms)
                                                            .member("cep50", figures.cep50)
                                                            .member("cep95", figures.cep95)
                                                            .member("max", figures.maxDistance)
                                                            .text());
    summary.member("altitude_m", figures.altitudeFixes == 0 ? std::string(kNull)
                                                            : JsonObject()
                                                                  .member("mean", figures.altitudeMean)
                                                                  .member("sigma", figures.altitudeSigma)
                                                                  .text());
    const char *const radii[] = {"1", "0.5", "0.1"};
    static_assert(std::size(radii) == PrecisionFigures::kSettleRadii.size());
    JsonObject settled;
    for (std::size_t r = 0; r < std::size(radii); ++r)
        settled.member(radii[r], figures.settled[r] ? number(*figures.settled[r]) : kNull);
    summary.member("settled_s", impossible.empty() ? settled.text() : kNull);
    summary.raw(uncertaintyMembers(impossible.empty() ? uncertainty : MeanUncertainty()));
    summary.member("quality", ofQuality(run.quality, run.minQuality));
    return summary.text();
}

} // namespace navorel
