#pragma once

#include <QString>

class QWidget;

// One of the window's file dialogs: its settings and the name last chosen
// in it, kept for the life of the window.
struct FileDialogState
{
    QString title;         // empty: the platform's
    QString filter;        // "Text (.txt)|*.txt|All Files|*.*"
    QString defaultSuffix; // added to a name typed without one
    QString fileName;      // proposed next time; the last chosen one
    bool confirmOverwrite = false;
    QString folder;       // where the dialog opens when fileName names none
    QString chosenFilter; // the name of the filter last chosen ("All Files"); empty: the first

    // A choice made: its folder and filter are where the dialog opens next.
    void chose(const QString &path, const QString &filterName);
};

// Shows file dialogs. The window asks through this, so that tests can
// answer in place of a user.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString openFileName(QWidget *parent, FileDialogState &state) = 0;
    virtual QString saveFileName(QWidget *parent, FileDialogState &state) = 0;
};

// The real dialogs.
class QtFileDialogs : public FileDialogs
{
public:
    QString openFileName(QWidget *parent, FileDialogState &state) override;
    QString saveFileName(QWidget *parent, FileDialogState &state) override;
};

// "Text (.txt)|*.txt|All Files|*.*" as Qt's name filters.
QStringList nameFilters(const QString &filter);
// The index among them of the filter named name ("All Files"); -1 for none.
int filterIndex(const QString &filter, const QString &name);
