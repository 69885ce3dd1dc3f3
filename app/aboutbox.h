#pragma once

#include <QDialog>
#include <functional>

#include "app/product.h"

class QLabel;

class Prompter;

// Hands a link (web address, mail) to the desktop; false when no program
// took it (no browser, no mail program). Tests put their own.
using UrlOpener = std::function<bool(const QString &link)>;
UrlOpener desktopUrlOpener();

// "mailto:" link of a bug report: the subject names product and build, the
// body is a form to fill in. Blanks stay as they are.
QString bugReportLink(const ProductInfo &product);
QString bugReportSubject(const ProductInfo &product);

// The About box: product, version, build, credit, web address; a click
// anywhere but on the address closes it, and so do Esc, Enter and Space.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    AboutBox(const ProductInfo &product, UrlOpener opener, Prompter &prompter, QWidget *parent = nullptr);

    QLabel *website() const { return m_website; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const ProductInfo &product);
    void Panel1Click();
    void WebsiteClick();

    UrlOpener m_opener;
    Prompter &m_prompter;
    QString m_websiteAddress;
    QLabel *m_version = nullptr;
    QLabel *m_buildString = nullptr;
    QLabel *m_copyright = nullptr;
    QLabel *m_website = nullptr;
};
