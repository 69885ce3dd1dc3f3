#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>

#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "app/resultpage.h"
#include "filter/textfile.h"
#include "prefs/settingsstore.h"
#include "tests/gui/fakes.h"
#include "ui/nmeatextarea.h"

// The main window with its result page and About box, boxes and dialogs
// answered by fakes, files in a folder of its own.
struct WindowRig
{
    WindowRig()
    {
        window.setResultPage(resultPage);
        window.setAboutBox(aboutBox);
    }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        navorel::writeFileReplacing(path.toStdString(), bytes.toStdString());
        return path;
    }
    static QByteArray readFile(const QString &path)
    {
        std::string bytes;
        navorel::readFileBytes(path.toStdString(), bytes);
        return QByteArray::fromStdString(bytes);
    }
    NmeaTextArea &text() { return *window.textArea(); }
    QByteArray shown() { return QByteArray::fromStdString(text().bytes()); }
    MainActions &actions() { return window.actions(); }

    QTemporaryDir dir;
    SettingsStore settings;
    FakeDialogs dialogs;
    FakePrompter prompter;
    MainWindow window{settings, dialogs, prompter, [](const QString &) { return true; }};
    ResultPage *resultPage = new ResultPage(&window);
    AboutBox *aboutBox = new AboutBox(window.product(), UrlOpener(), prompter, &window);
};
