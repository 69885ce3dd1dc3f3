#pragma once

#include <QIcon>
#include <QImage>
#include <QTest>

#include "app/mainactions.h"
#include "tests/gui/serialrig.h"

// What the receive and send commands show, checked as the user sees them.
// A failed check has been reported; callers look at QTest::currentTestFailed().

inline QImage picture(const QIcon &icon)
{
    return icon.pixmap(QSize(16, 16)).toImage();
}

// The tool pictures are SVG: without Qt's SVG icon engine every one of them
// renders empty and they cannot be told apart.
inline bool picturesCanBeToldApart()
{
    static const bool apart = [] {
        const bool rendered = !picture(toolImage(ImageReceiveIdle)).isNull()
                              && picture(toolImage(ImageReceiveIdle)) != picture(toolImage(ImageReceiving))
                              && picture(toolImage(ImageSendIdle)) != picture(toolImage(ImageSending));
        if (!rendered)
            qWarning("The tool pictures do not render (no SVG icon engine?): pictures are not compared.");
        return rendered;
    }();
    return apart;
}

inline bool samePicture(const QIcon &shown, int image)
{
    return !picturesCanBeToldApart() || picture(shown) == picture(toolImage(image));
}

// A hint as it was given: the bubble, and the long part after a bar when
// it differs.
inline QString hintOf(const QAction *action)
{
    return action->toolTip() == action->statusTip()
               ? action->toolTip()
               : action->toolTip() + QLatin1Char('|') + action->statusTip();
}

inline void verifyReceiveCommand(SerialRig &rig, bool running)
{
    const MainActions &a = rig.window.actions();
    const QString hint = running ? QStringLiteral("Stop receiving")
                                 : QStringLiteral("Receive data|Open serial port and receive data");
    QCOMPARE(a.receiveData->text(),
             running ? QStringLiteral("Stop receiving") : QStringLiteral("Receive data"));
    QCOMPARE(hintOf(a.receiveData), hint);
    QCOMPARE(hintOf(a.toolReceive), hint);
    QVERIFY(samePicture(a.toolReceive->icon(), running ? ImageReceiving : ImageReceiveIdle));
    QCOMPARE(a.sendData->isEnabled(), !running);
    QCOMPARE(a.toolSend->isEnabled(), !running);
}

inline void verifySendCommand(SerialRig &rig, bool running)
{
    const MainActions &a = rig.window.actions();
    const QString hint =
        running ? QStringLiteral("Stop sending") : QStringLiteral("Send data|Open serial port and send data");
    QCOMPARE(a.sendData->text(), running ? QStringLiteral("Stop sending") : QStringLiteral("Send data"));
    QCOMPARE(hintOf(a.sendData), hint);
    QCOMPARE(hintOf(a.toolSend), hint);
    QVERIFY(samePicture(a.toolSend->icon(), running ? ImageSending : ImageSendIdle));
    QCOMPARE(a.receiveData->isEnabled(), !running);
    QCOMPARE(a.toolReceive->isEnabled(), !running);
}

inline void verifyIdle(SerialRig &rig)
{
    verifyReceiveCommand(rig, false);
    if (QTest::currentTestFailed())
        return;
    verifySendCommand(rig, false);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!rig.transfer.receiving());
    QVERIFY(!rig.transfer.sending());
    QVERIFY(!rig.driver.isOpen());
    QVERIFY(!rig.transfer.sendTimer().isActive());
}
