#pragma once

#include <QString>

class QDialog;
class QWidget;

// Centres window over another, as every window the commands open is.
void centreOver(QWidget *window, const QWidget *over);

// Message boxes and modal windows of the program. The windows ask through
// this, so that tests can answer in place of a user.
class Prompter
{
public:
    virtual ~Prompter() = default;
    // The standard error box: the message under the caption "Navorel".
    virtual void errorBox(QWidget *parent, const QString &message);
    // A plain notice with an OK button, caption "Navorel".
    virtual void messageBox(QWidget *parent, const QString &message);
    // A box for a failed system call: the caption names the failed step.
    virtual void systemErrorBox(const QString &caption, const QString &message);
    // A notice whose address (mail, web) can be selected and copied, for
    // when no program could be started to open it.
    virtual void addressBox(QWidget *parent, const QString &message, const QString &address);
    // Shows a window modally and returns when it is closed.
    virtual void runModal(QDialog *dialog);

    enum class SaveChoice { Save, Discard, Cancel };
    // "Save changes to <name>?" with Save, Discard and Cancel.
    virtual SaveChoice askSaveChanges(QWidget *parent, const QString &name);
    // "<path> already exists. Replace it?" with Yes and No; true for Yes.
    virtual bool askReplace(QWidget *parent, const QString &path);
};
