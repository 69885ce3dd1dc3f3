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
