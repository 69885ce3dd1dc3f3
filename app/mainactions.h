#pragma once

#include <QIcon>

class QAction;
class QMenuBar;
class QObject;

// Pictures of the tool bar, by their fixed index: the transfer commands
// switch between 7/8 and 9/10.
enum ToolImage {
    ImageOpenText = 0,
    ImageSaveText = 1,
    ImageFilter = 2,
    ImageShowNmea = 5,
    ImageShowFiltered = 6,
    ImageReceiveIdle = 7,
    ImageReceiving = 8,
    ImageSendIdle = 9,
    ImageSending = 10,
};
QIcon toolImage(int index);

// The commands of the main window: menu items and tool buttons with their
// captions, shortcuts, hints and pictures. A menu item and a tool button
// of one command are two actions, as their hints and pictures differ.
struct MainActions
{
    explicit MainActions(QObject *owner);

    // The four menus with their items in order.
    void fillMenuBar(QMenuBar *bar);

    // A running transfer command shows how to stop it and greys the other.
    void showReceiving(bool running);
    void showSending(bool running);

    // File
    QAction *NewText1;
    QAction *OpenTXT;
    QAction *Openfiltereddata1;
    QAction *SaveNMEA;
    QAction *SaveNMEAAs;
    QAction *SavefilteredData1;
    QAction *Beenden;
    // Edit
    QAction *Rckgngig1;
    QAction *Ausschneiden1;
    QAction *Kopieren1;
    QAction *Einfgen1;
    QAction *Allesmarkieren1;
    QAction *Filter;
    // Tools
    QAction *Receivedata1;
    QAction *Senddata1;
    QAction *ShowResultpage1;
    QAction *RS232Settings1;
    QAction *Preferences1;
    // Help
    QAction *Hilfeblasen1;
    QAction *ReportaBug1;
    QAction *Info1;
    // Tool bar
    QAction *TB_OpenTXT;
    QAction *TB_SaveText;
    QAction *TB_down;
    QAction *TB_up;
    QAction *TB_Fliter;
    QAction *TB_NMEA;
    QAction *TB_filterdata;
    // Shortcut of the result file's open dialog without a menu item.
    QAction *FileOpenFlDat;
};
