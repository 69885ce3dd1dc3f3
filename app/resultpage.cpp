#include "app/resultpage.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <QTextDocument>
#include <algorithm>

#include "ui/formfont.h"
#include "ui/hints.h"

namespace {

// 23 lines of a report, one of them wrapped.
constexpr int kReportLines = 25;

} // namespace

ResultPage::ResultPage(QWidget *parent)
        : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
          m_memoResult(new QPlainTextEdit(this)), m_buttonClose(new QPushButton(tr("Close"), this))
{
    setObjectName(QStringLiteral("TFormResult"));
    setWindowTitle(QStringLiteral("Result Page"));
    setFont(formFont());

    m_memoResult->setObjectName(QStringLiteral("Memo_Result"));
    m_memoResult->setReadOnly(true);
    m_memoResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoResult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memoResult->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tall enough for a whole report (its longest line wraps once) in the
    // fonts this system has; never smaller than the page always was.
    const int frame = m_memoResult->frameWidth() * 2 + int(m_memoResult->document()->documentMargin()) * 2;
    const int textHeight =
        std::max(290, QFontMetrics(m_memoResult->font()).lineSpacing() * kReportLines + frame + 2);
    m_memoResult->setGeometry(0, 0, 292, textHeight);
    setFixedSize(292, textHeight + 43);
    QPalette palette = m_memoResult->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_memoResult->setPalette(palette);
    setHint(m_memoResult, QStringLiteral("Filter result"));

    m_buttonClose->setObjectName(QStringLiteral("ButtonClose"));
    m_buttonClose->setGeometry(108, textHeight + 10, 75, 25);
    m_buttonClose->setDefault(true);
    setHint(m_buttonClose, QStringLiteral("Close result page"));
    connect(m_buttonClose, &QPushButton::clicked, this, &ResultPage::ButtonCloseClick);

    setLines({QStringLiteral("Result List"), QStringLiteral("========"), QString()});
}

void ResultPage::setLines(const QStringList &lines)
{
    m_lines = lines;
    m_memoResult->setPlainText(m_lines.join(QLatin1Char('\n')));
}

void ResultPage::appendLines(const QStringList &lines)
{
    setLines(m_lines + lines);
}

void ResultPage::ButtonCloseClick()
{
    accept();
}
