#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "filter/settings.h"
#include "filter/survey.h"
#include "serial/lineassembler.h"
#include "serial/nmeasource.h"
#include "serial/notepacing.h"
#include "serial/receptionwatch.h"
#include "tools/outputfile.h"

// Appends every complete line a source delivers to a file, as it arrives,
// until it has recorded as long or as many lines as asked, or is stopped.
// A source that drops is opened again every few seconds; the file goes on
// growing after it. Notes go to standard error, each beginning with the time.
class Recorder : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString source;
        QString out;
        qint64 seconds = 0; // 0: no limit
        qint64 lines = 0;   // 0: no limit
        qint32 baudRate = 4800;
        // The survey's figures of the lines written, when asked for: a goal
        // that ends the recording, a status line every 10 s, the JSON.
        struct Survey
        {
            navorel::Settings settings;
            std::optional<double> targetMetres; // --until-r95
            double minimumSeconds = 0.0;        // --min-seconds, by the fixes' own times
        };
        std::optional<Survey> survey;
        bool status = false;
    };

    static constexpr int kRetryMs = 5000;
    // Written lines reach the disk, and OUT and the source are looked at,
    // this often.
    static constexpr int kTickMs = 1000;
    // Exit statuses.
    static constexpr int kEndedAsAsked = 0;
    static constexpr int kOutputFailed = 1;
    static constexpr int kNotStarted = 2;
    static constexpr int kGoalNotReached = 3; // the recording ended before the survey's goal
    static constexpr int kStatusMs = 10000;

    explicit Recorder(const Options &options, QObject *parent = nullptr);

    // Opens the file and the source; finished() follows in every case.
    void start();
    // Ends the recording cleanly: what has come in is written first.
    void stop();
    // Opens OUT anew by its name (log rotation, SIGHUP).
    void reopenOutput();
    // The navorel-filter --json object of the lines written; empty without a survey.
    std::string surveyJson() const;
    // "1234 fixes, 0:20:34, r95 0.310 m (settled)"; empty without a survey.
    std::string surveyStatus() const;

signals:
    void finished(int status);

private:
    void openSource();
    void opened();
    void openFailed(const QString &reason);
    void receive();
    void dropped(const QString &reason);
    void tick();
    bool write(const std::vector<std::string> &lines);
    void outputFailed();
    void finish(int status);
    void say(const QString &message) const;
    void sayPaced(const QString &message);
    void sayStatus() const;

    Options m_options;
    NmeaSource m_source;
    navorel::LineAssembler m_assembler;
    navorel::ReceptionWatch m_watch;
    navorel::NotePacing m_pacing;
    OutputFile m_out;
    QElapsedTimer m_clock;
    bool m_everOpened = false;
    // A drop was noted: "receiving again" waits for the next line.
    bool m_awaitingLine = false;
    bool m_finished = false;
    qint64 m_linesWritten = 0;
    QTimer m_duration;
    QTimer m_retry;
    QTimer m_tick;
    QTimer m_statusTick;
    std::unique_ptr<navorel::Survey> m_survey;
};
