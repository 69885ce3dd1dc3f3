#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The goal of a survey reached: a notice that stays beside the window
// while receiving goes on, with the position to copy and to export.
class SurveyNotice : public QDialog
{
    Q_OBJECT

public:
    explicit SurveyNotice(QWidget *parent = nullptr);

    // text: "Survey reached ±0.48 m (95 %) after ..."; position: "lat, lon"
    // in decimal degrees, as copied.
    void showReached(const QString &text, const QString &position);
    QString text() const;
    QPushButton *copyButton() const { return m_copy; }
    QPushButton *exportButton() const { return m_export; }

signals:
    void exportRequested();

private:
    QLabel *m_text;
    QPushButton *m_copy;
    QPushButton *m_export;
    QString m_position;
};
