#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

#include "ui/filedialogs.h"

class NmeaTextArea;
class ProgressGauge;
class Prompter;
class ElidedGroupBox;
class QLabel;
class QWidget;

// The NMEA text document: the text area's file life. Open, save and save
// as; files that arrive by drop, from a second start or on the command
// line all open through OpenHandleTXT.
class TextDocument : public QObject
{
    Q_OBJECT

public:
    TextDocument(NmeaTextArea *text, ElidedGroupBox *group, QLabel *statusName, FileDialogs &dialogs,
                 Prompter &prompter, QWidget *window);

    QString path() const { return m_path; }
    QString name() const { return m_name; }
    FileDialogState &openDialog() { return m_fileOpenTXT; }
    FileDialogState &saveDialog() { return m_fileSaveNMEAdataAs; }
    // Loads the file at path into the text area. A file that cannot be
    // read leaves everything as it was, the document path included, so
    // that a later save never writes the old text over an unread file.
    bool OpenHandleTXT(const QString &path);
    // Asks for a file and opens it; true when one was opened.
    bool openTextFile();
    // Before the log is replaced or the program ends: when the log holds
    // edits or received lines not yet saved, asks to save them. False when
    // the user cancelled, or the save failed.
    bool askToSaveChanges();
    void newText();
    void SaveNMEAClick();
    void SaveNMEAAsClick();
    // The log written to path, which names the document from then on; a
    // file there already is replaced only when the user says so.
    bool saveLogTo(const QString &path);
    // Every dropped file in turn, after asking to save changes; a file that
    // fails ends the drop.
    void openDropped(const QList<QUrl> &urls);
    // The text of a second start: one path in double quotes.
    void openHandedOver(const QString &text);

signals:
    // A file opened or saved: the File menu offers it again.
    void fileUsed(const QString &path);

public:
    // Files from this size on show the gauge while they load.
    static constexpr std::size_t kGaugedSize = std::size_t{16} << 20;
    void setGauge(ProgressGauge *gauge) { m_gauge = gauge; }

private:
    void showName();
    // Writes the log to its file, asking for a name when it has none.
    bool saveLog();
    // The log written to path, the document named by it; false when it failed.
    bool writeLog(const QString &path);
    void nameDocument(const QString &path);

    NmeaTextArea *m_text;
    ElidedGroupBox *m_group;
    QLabel *m_statusName;
    FileDialogs &m_dialogs;
    Prompter &m_prompter;
    QWidget *m_window;
    ProgressGauge *m_gauge = nullptr;
    QString m_path; // empty for an untitled text
    QString m_name;
    FileDialogState m_fileOpenTXT;
    FileDialogState m_fileSaveNMEAdataAs;
};
