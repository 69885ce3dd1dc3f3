#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

// The result page: the report of the last filter run, or of opened result
// files, in a read-only text.
class ResultPage : public QDialog
{
    Q_OBJECT

public:
    explicit ResultPage(QWidget *parent = nullptr);

    void setLines(const QStringList &lines);
    void appendLines(const QStringList &lines);
    QStringList lines() const { return m_lines; }
    QPlainTextEdit *textView() const { return m_memoResult; }

private:
    void ButtonCloseClick();

    QPlainTextEdit *m_memoResult;
    QPushButton *m_buttonClose;
    QStringList m_lines;
};
