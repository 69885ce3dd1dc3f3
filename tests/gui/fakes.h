#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

#include "ui/filedialogs.h"
#include "ui/prompter.h"

// Answers file dialogs from a script instead of a user.
class FakeDialogs : public FileDialogs
{
public:
    QString openFileName(QWidget *, FileDialogState &state) override { return answer(state); }
    QString saveFileName(QWidget *, FileDialogState &state) override { return answer(state); }

    QStringList answers;          // taken from the front; empty: cancel
    QList<FileDialogState> asked; // each dialog as it was shown

private:
    QString answer(FileDialogState &state)
    {
        asked.append(state);
        const QString chosen = answers.isEmpty() ? QString() : answers.takeFirst();
        if (!chosen.isEmpty())
            state.fileName = chosen;
        return chosen;
    }
};

// Keeps every message instead of showing it; modal windows return at once.
class FakePrompter : public Prompter
{
public:
    void errorBox(QWidget *, const QString &message) override { errors.append(message); }
    void messageBox(QWidget *, const QString &message) override { messages.append(message); }
    void systemErrorBox(const QString &caption, const QString &message) override
    {
        systemErrors.append(caption + QStringLiteral(": ") + message);
    }
    void runModal(QDialog *dialog) override { modals.append(dialog->objectName()); }

    QStringList errors;
    QStringList messages;
    QStringList systemErrors;
    QStringList modals;
};
