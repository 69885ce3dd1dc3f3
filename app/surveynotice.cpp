#include "app/surveynotice.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SurveyNotice::SurveyNotice(QWidget *parent)
        : QDialog(parent), m_text(new QLabel(this)),
          m_copy(new QPushButton(QStringLiteral("&Copy position"), this)),
          m_export(new QPushButton(QStringLiteral("&Export..."), this))
{
    setObjectName(QStringLiteral("SurveyNotice"));
    setWindowTitle(QStringLiteral("Survey reached"));
    setModal(false);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // One line for the sentence and its position, as long as it is.
    m_text->setWordWrap(false);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_copy, QDialogButtonBox::ActionRole);
    buttons->addButton(m_export, QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(m_copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(m_position); });
    connect(m_export, &QPushButton::clicked, this, &SurveyNotice::exportRequested);
}

void SurveyNotice::showReached(const QString &text, const QString &position)
{
    m_text->setText(text);
    m_position = position;
    show();
    raise();
}

QString SurveyNotice::text() const
{
    return m_text->text();
}
