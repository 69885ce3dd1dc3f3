#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

#include "serial/lineassembler.h"
#include "serial/nmeasource.h"

// Appends every complete line a source delivers to a file, as it arrives,
// until it has recorded as long or as many lines as asked, or is stopped.
// A source that drops is opened again every few seconds; the file goes on
// growing after it.
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
    };

    static constexpr int kRetryMs = 5000;
    static constexpr int kSyncMs = 1000;
    // Exit statuses.
    static constexpr int kEndedAsAsked = 0;
    static constexpr int kNotStarted = 2;

    explicit Recorder(const Options &options, QObject *parent = nullptr);
    ~Recorder() override;

    // Opens the file and the source; finished() follows in every case.
    void start();
    // Ends the recording cleanly: what has come in is written first.
    void stop();

signals:
    void finished(int status);

private:
    void opened();
    void openFailed(const QString &reason);
    void receive();
    void dropped(const QString &reason);
    void sync();
    void finish(int status);
    void say(const QString &message) const;

    Options m_options;
    NmeaSource m_source;
    navorel::LineAssembler m_assembler;
    int m_fd = -1;
    bool m_unsynced = false;
    bool m_everOpened = false;
    bool m_finished = false;
    qint64 m_linesWritten = 0;
    QString m_lastRetryFailure;
    QTimer m_duration;
    QTimer m_retry;
    QTimer m_sync;
};
