#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>

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
    QString chosenFilter;         // the filter name a choice is made with

private:
    QString answer(FileDialogState &state)
    {
        asked.append(state);
        const QString chosen = answers.isEmpty() ? QString() : answers.takeFirst();
        if (!chosen.isEmpty())
            state.chose(chosen, chosenFilter);
        return chosen;
    }
};

// Keeps every message instead of showing it; modal windows return at once.
class FakePrompter : public Prompter
{
public:
    void errorBox(QWidget *, const QString &message) override { shown(errors, message); }
    void messageBox(QWidget *, const QString &message) override { shown(messages, message); }
    void systemErrorBox(const QString &caption, const QString &message) override
    {
        shown(systemErrors, caption + QStringLiteral(": ") + message);
    }
    void addressBox(QWidget *, const QString &message, const QString &address) override
    {
        addresses.append(message + QLatin1Char(' ') + address);
    }
    void runModal(QDialog *dialog) override { modals.append(dialog->objectName()); }
    SaveChoice askSaveChanges(QWidget *, const QString &name) override
    {
        saveQuestions.append(name);
        return saveAnswers.isEmpty() ? SaveChoice::Discard : saveAnswers.takeFirst();
    }
    bool askReplace(QWidget *, const QString &path) override
    {
        replaceQuestions.append(path);
        return replaceAnswer;
    }

    QStringList errors;
    QStringList messages;
    QStringList systemErrors;
    QStringList modals;
    QStringList addresses;
    QStringList saveQuestions;     // the names "Save changes to ...?" asked about
    QList<SaveChoice> saveAnswers; // taken from the front; empty: Discard
    QStringList replaceQuestions;  // the files "... already exists. Replace it?" asked about
    bool replaceAnswer = false;
    // Runs while a box is "open", as the user would be reading it.
    std::function<void()> whileShown;

private:
    void shown(QStringList &list, const QString &message)
    {
        list.append(message);
        if (whileShown)
            whileShown();
    }
};
