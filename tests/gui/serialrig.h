#pragma once

#include <QAction>
#include <QComboBox>

#include "app/mainwindow.h"
#include "prefs/settingsstore.h"
#include "serial/portdriver.h"
#include "serial/rs232window.h"
#include "serial/serialtransfer.h"
#include "tests/gui/fakes.h"
#include "ui/nmeatextarea.h"

// The serial link wired as the program wires it, with a prompter that
// records its boxes instead of showing them.
struct SerialRig
{
    SerialRig()
    {
        window.setRs232Window(rs232Window);
        QObject::connect(&window, &MainWindow::receiveCommand, &transfer, &SerialTransfer::Receivedata1Click);
        QObject::connect(&window, &MainWindow::sendCommand, &transfer, &SerialTransfer::Senddata1Click);
        QObject::connect(&transfer, &SerialTransfer::clearRequested, &window, &MainWindow::NewText1Click);
        QObject::connect(&transfer, &SerialTransfer::receivingChanged, &window, &MainWindow::showReceiving);
        QObject::connect(&transfer, &SerialTransfer::sendingChanged, &window, &MainWindow::showSending);
        QObject::connect(&transfer, &SerialTransfer::noted, &window, &MainWindow::showNote);
    }

    void setPortText(const QString &text)
    {
        rs232Window->selector(navorel::SettingKey::Port)->setEditText(text);
    }
    NmeaTextArea &text() { return *window.textArea(); }
    QList<QByteArray> textLines()
    {
        QList<QByteArray> lines;
        for (std::size_t i = 0; i < text().lineCount(); ++i)
            lines.append(QByteArray::fromStdString(text().lineAt(i)));
        return lines;
    }
    void receiveCommand() { window.actions().receiveData->trigger(); }
    void sendCommand() { window.actions().sendData->trigger(); }

    SettingsStore settings;
    FakeDialogs dialogs;
    FakePrompter prompter;
    MainWindow window{settings, dialogs, prompter, UrlOpener()};
    Rs232Window *rs232Window = new Rs232Window(settings, &window);
    PortDriver driver{prompter};
    SerialTransfer transfer{*window.textArea(), *rs232Window, driver, settings, prompter};
};
