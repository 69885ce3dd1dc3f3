#include "filter/surveytracker.h"

namespace navorel {

SurveyTracker::SurveyTracker(const Settings &settings) : m_process(settings, optionsForSurvey()) {}

FilterOptions SurveyTracker::optionsForSurvey()
{
    // The figures need the fixes and their classes; the lines of the views
    // and of the result file are the text area's and navorel-filter's.
    FilterOptions options;
    options.chunkCount = 1;
    options.keepDisplayLines = false;
    options.keepDataLines = false;
    options.keepPoints = false;
    options.keepFixes = true;
    options.keepFixClasses = true;
    return options;
}

void SurveyTracker::feed(std::string_view bytes)
{
    m_process.feed(bytes);
}

double SurveyTracker::elapsedSeconds()
{
    const AcceptedFixes &fixes = run().fixes;
    for (; m_clockFixes < fixes.size(); ++m_clockFixes) {
        const std::int32_t time = fixes.times[m_clockFixes];
        if (time == AcceptedFixes::kNoTime)
            continue;
        const std::int32_t date =
            m_clockFixes < fixes.dates.size() ? fixes.dates[m_clockFixes] : AcceptedFixes::kNoDate;
        double second = time;
        if (date != AcceptedFixes::kNoDate) {
            second += 86400.0 * static_cast<double>(AcceptedFixes::dayNumber(date));
        } else {
            if (m_previousTime != AcceptedFixes::kNoTime && m_previousTime - time > 12 * 3600)
                m_midnights += 86400.0;
            second += m_midnights;
        }
        m_previousTime = time;
        if (!m_firstSecond)
            m_firstSecond = second;
        m_lastSecond = second;
    }
    return m_firstSecond ? m_lastSecond - *m_firstSecond : 0.0;
}

SurveyTracker::Figures SurveyTracker::measure() const
{
    Figures figures;
    figures.precision = measurePrecision(run().fixes);
    figures.uncertainty = measureUncertainty(run().fixes, figures.precision);
    return figures;
}

} // namespace navorel
