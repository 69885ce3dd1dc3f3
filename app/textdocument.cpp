#include "app/textdocument.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "filter/codepage.h"
#include "filter/textfile.h"
#include "filter/textlines.h"
#include "ui/elidedgroupbox.h"
#include "ui/nmeatextarea.h"
#include "ui/progressgauge.h"
#include "ui/prompter.h"
#include "ui/textcodec.h"

namespace {

const QString kTextFilter = QStringLiteral("Text (.txt)|*.txt|NMEA ASCII (.NMEA)|*.NMEA|All Files|*.*");

} // namespace

TextDocument::TextDocument(NmeaTextArea *text, ElidedGroupBox *group, QLabel *statusName,
                           FileDialogs &dialogs, Prompter &prompter, QWidget *window)
        : QObject(window), m_text(text), m_group(group), m_statusName(statusName), m_dialogs(dialogs),
          m_prompter(prompter), m_window(window)
{
    m_fileOpenTXT.filter = kTextFilter;
    m_fileSaveNMEAdataAs.title = QStringLiteral("Save Text File");
    m_fileSaveNMEAdataAs.filter = kTextFilter;
    m_fileSaveNMEAdataAs.defaultSuffix = QStringLiteral("txt");
    m_fileSaveNMEAdataAs.fileName = QStringLiteral("NMEA data");
    m_fileSaveNMEAdataAs.confirmOverwrite = true;
}

void TextDocument::showName()
{
    m_group->setCaption(QStringLiteral(" Data: ") + m_name + QLatin1Char(' '));
    m_statusName->setText(m_name);
}

bool TextDocument::OpenHandleTXT(const QString &path)
{
    // Reading a FIFO or /dev/zero would never end and freeze the window. A
    // missing or unreadable file gets the usual message.
    const navorel::RegularFileCheck check = navorel::checkRegularFile(localPath(path));
    if (!check.regular() && check.kind != navorel::FileKind::Missing
        && check.kind != navorel::FileKind::Unreachable) {
        m_prompter.errorBox(m_window, fillIn(navorel::kCannotOpenFile, path)
                                          + QStringLiteral("\nOnly regular files can be opened: ")
                                          + QString::fromStdString(check.reason) + QLatin1Char('.'));
        return false;
    }
    // A big log moves the gauge while it loads.
    const bool gauged = m_gauge != nullptr && !m_gauge->isShown()
                        && QFileInfo(path).size() >= static_cast<qint64>(kGaugedSize);
    if (gauged) {
        m_gauge->set(0, 1);
        m_gauge->show(true);
    }
    const NmeaTextArea::LoadResult loaded =
        m_text->loadFile(localPath(path), [this, gauged](std::size_t done, std::size_t total) {
            if (gauged)
                m_gauge->set(done, total);
        });
    if (gauged)
        m_gauge->show(false);
    if (loaded == NmeaTextArea::LoadResult::CannotOpen) {
        m_prompter.errorBox(m_window, fillIn(navorel::kCannotOpenFile, path));
        return false;
    }
    if (loaded == NmeaTextArea::LoadResult::TooLarge) {
        m_prompter.errorBox(m_window, QStringLiteral("Text \u00FCberschreitet Memo-Kapazit\u00E4t"));
        return false;
    }
    m_path = path;
    m_name = QFileInfo(path).fileName();
    showName();
    // A Windows editor's "Unicode" text: every other byte is NUL, and the
    // filter would find nothing in it without a word why.
    const std::string_view head = m_text->bytesView().substr(0, navorel::kUtf16HeadBytes);
    if (navorel::looksLikeUtf16(head))
        m_prompter.messageBox(m_window,
                              QStringLiteral("%1 looks like UTF-16 text, not 8-bit NMEA: the filter "
                                             "finds no sentence in it. Convert it first, for instance "
                                             "with iconv -f UTF-16 -t WINDOWS-1252.")
                                  .arg(m_name));
    emit fileUsed(path);
    return true;
}

bool TextDocument::openTextFile()
{
    if (!askToSaveChanges())
        return false;
    const QString path = m_dialogs.openFileName(m_window, m_fileOpenTXT);
    return !path.isEmpty() && OpenHandleTXT(path);
}

bool TextDocument::askToSaveChanges()
{
    if (!m_text->isLogModified())
        return true;
    const QString name = m_path.isEmpty() ? QStringLiteral("untitled") : m_name;
    switch (m_prompter.askSaveChanges(m_window, name)) {
    case Prompter::SaveChoice::Save: return saveLog();
    case Prompter::SaveChoice::Discard: return true;
    case Prompter::SaveChoice::Cancel: break;
    }
    return false;
}

void TextDocument::newText()
{
    m_path.clear();
    m_text->clearText();
    m_group->setCaption(QStringLiteral(" Data: "));
    m_statusName->setText(QStringLiteral("untitled"));
}

void TextDocument::SaveNMEAClick()
{
    if (m_path.isEmpty()) {
        SaveNMEAAsClick();
        return;
    }
    if (!m_text->showsLog()) {
        // Filtered lines are never written over the log unasked: Save As,
        // proposing a name of their own beside it.
        m_fileSaveNMEAdataAs.fileName = QFileInfo(m_path).absoluteDir().filePath(
            m_name.section(QLatin1Char('.'), 0, 0) + QStringLiteral(" filtered"));
        SaveNMEAAsClick();
        return;
    }
    if (const navorel::FileWrite written = navorel::writeFileReplacing(localPath(m_path), m_text->bytes());
        !written) {
        m_prompter.errorBox(m_window, cannotCreateMessage(m_path, written.reason));
        return;
    }
    m_text->setLogSaved();
    emit fileUsed(m_path);
}

bool TextDocument::saveLog()
{
    // Whichever view is shown: the log itself is written.
    QString path = m_path;
    if (path.isEmpty()) {
        path = m_dialogs.saveFileName(m_window, m_fileSaveNMEAdataAs);
        if (path.isEmpty())
            return false;
    }
    return writeLog(path);
}

bool TextDocument::saveLogTo(const QString &path)
{
    if (QFileInfo::exists(path) && path != m_path && !m_prompter.askReplace(m_window, path))
        return false;
    return writeLog(path);
}

bool TextDocument::writeLog(const QString &path)
{
    if (const navorel::FileWrite written = navorel::writeFileReplacing(localPath(path), m_text->logBytes());
        !written) {
        m_prompter.errorBox(m_window, cannotCreateMessage(path, written.reason));
        return false;
    }
    m_text->setLogSaved();
    if (path != m_path)
        nameDocument(path);
    emit fileUsed(path);
    return true;
}

void TextDocument::nameDocument(const QString &path)
{
    m_path = path;
    m_name = QFileInfo(path).fileName();
    showName();
    // The next Save As proposes the base name: "track" for track.nmea.txt.
    m_fileSaveNMEAdataAs.fileName =
        QFileInfo(path).absoluteDir().filePath(m_name.section(QLatin1Char('.'), 0, 0));
}

void TextDocument::SaveNMEAAsClick()
{
    // A view saved under a name of its own is the document from then on:
    // the log it takes the place of is not dropped with changes unsaved.
    if (!m_text->showsLog() && !askToSaveChanges())
        return;
    const QString path = m_dialogs.saveFileName(m_window, m_fileSaveNMEAdataAs);
    if (path.isEmpty())
        return;
    if (const navorel::FileWrite written = navorel::writeFileReplacing(localPath(path), m_text->bytes());
        !written) {
        m_prompter.errorBox(m_window, cannotCreateMessage(path, written.reason));
        return;
    }
    if (m_text->showsLog())
        m_text->setLogSaved();
    else
        m_text->takeShownAsLog();
    nameDocument(path);
    emit fileUsed(path);
}

void TextDocument::openDropped(const QList<QUrl> &urls)
{
    if (urls.isEmpty() || !askToSaveChanges())
        return;
    for (const QUrl &url : urls) {
        if (!url.isLocalFile() || !OpenHandleTXT(url.toLocalFile()))
            return;
    }
}

void TextDocument::openHandedOver(const QString &text)
{
    if (!askToSaveChanges())
        return;
    // The first and the last character are the quotes around the path.
    if (text.size() >= 2)
        OpenHandleTXT(text.mid(1, text.size() - 2));
    else if (!text.isEmpty())
        OpenHandleTXT(QString());
}
