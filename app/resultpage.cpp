#include "app/resultpage.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/formfont.h"
#include "ui/hints.h"

ResultPage::ResultPage(QWidget *parent)
        : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
          m_memoResult(new QPlainTextEdit(this)), m_buttonClose(new QPushButton(tr("Close"), this))
{
    setObjectName(QStringLiteral("TFormResult"));
    setWindowTitle(QStringLiteral("Result Page"));
    setFixedSize(292, 333);
    setFont(formFont());

    m_memoResult->setObjectName(QStringLiteral("Memo_Result"));
    m_memoResult->setReadOnly(true);
    m_memoResult->setGeometry(0, 0, 292, 290);
    m_memoResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoResult->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette palette = m_memoResult->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_memoResult->setPalette(palette);
    setHint(m_memoResult, QStringLiteral("Filter result"));

    m_buttonClose->setObjectName(QStringLiteral("ButtonClose"));
    m_buttonClose->setGeometry(108, 300, 75, 25);
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
