#include "app/aboutbox.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include "ui/formfont.h"
#include "ui/hints.h"
#include "ui/prompter.h"

UrlOpener desktopUrlOpener()
{
    return [](const QString &link) { return QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode)); };
}

QString bugReportSubject(const ProductInfo &product)
{
    return product.productName + QLatin1Char(' ') + product.build + QStringLiteral(" bug report");
}

QString bugReportLink(const ProductInfo &product)
{
    const QString subject = bugReportSubject(product);
    const QString body = QStringLiteral("Your e-mail address : %0A%0A Your system configuration :  "
                                        "CPU/RAM/OS%0A%0A Install directory : %0A%0A Report : %0A");
    return QStringLiteral("mailto:") + product.supportAddress + QStringLiteral("?subject=") + subject
           + QStringLiteral("&body=") + body;
}

AboutBox::AboutBox(const ProductInfo &product, UrlOpener opener, Prompter &prompter, QWidget *parent)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
          m_opener(std::move(opener)), m_prompter(prompter), m_websiteAddress(product.website)
{
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(207, 213);
    setFont(formFont());

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(0, 0, 207, 213);
    setHint(panel, QStringLiteral("Click to close"));

    const auto label = [panel](const QString &name, int x, int y, const QString &text) {
        auto *created = new QLabel(text, panel);
        created->setObjectName(name);
        created->move(x, y);
        return created;
    };
    auto *icon = label(QStringLiteral("ProgramIcon"), 18, 10, QString());
    icon->setFixedSize(55, 55);
    icon->setPixmap(QIcon(QStringLiteral(":/navorel.svg")).pixmap(55, 55));
    auto *name = label(QStringLiteral("ProductName"), 74, 24, product.productName);
    name->setFont(QFont(QStringLiteral("Arial"), 16));
    m_version = label(QStringLiteral("Version"), 18, 72, QString());
    m_buildString = label(QStringLiteral("BuildString"), 103, 72, QString());
    m_copyright = label(QStringLiteral("Copyright"), 18, 92, QString());
    m_copyright->setFixedWidth(180);
    m_copyright->setWordWrap(true);
    m_website = label(QStringLiteral("Website"), 18, 114, product.website);
    m_website->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    m_website->setCursor(Qt::PointingHandCursor);
    setHint(m_website, QStringLiteral("Open website"));
    auto *comments =
        label(QStringLiteral("Comments"), 18, 140,
              QStringLiteral("Filtering position and satellites information from NMEA data.       "
                             "Receive and send NMEA data with serial PC port."));
    comments->setWordWrap(true);
    comments->setFixedSize(170, 70);
    comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLabel *withHint : {icon, name, m_version, m_copyright, comments})
        setHint(withHint, QStringLiteral("Click to close"));
    for (QObject *child : panel->children())
        child->installEventFilter(this);
    panel->installEventFilter(this);

    FormCreate(product);
}

void AboutBox::FormCreate(const ProductInfo &product)
{
    m_version->setText(QStringLiteral("Version: ") + product.version);
    m_buildString->setText(QStringLiteral("(Build ") + product.build + QLatin1Char(')'));
    m_copyright->setText(product.creditLine);
    for (QLabel *label : {m_version, m_buildString, m_copyright})
        label->adjustSize();
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_website)
            WebsiteClick();
        else
            Panel1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Panel1Click();
}

void AboutBox::keyPressEvent(QKeyEvent *event)
{
    // The keyboard's click: a user who opened the box with F1 closes it
    // without a mouse.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        event->accept();
        Panel1Click();
        return;
    default: QDialog::keyPressEvent(event);
    }
}

void AboutBox::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void AboutBox::Panel1Click()
{
    accept();
}

void AboutBox::WebsiteClick()
{
    if (m_opener && !m_opener(m_websiteAddress))
        m_prompter.addressBox(this, QStringLiteral("No web browser could be started. The address is:"),
                              m_websiteAddress);
}
