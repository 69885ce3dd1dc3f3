#pragma once

#include <QIcon>

class QAction;
class QMenu;
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
    QAction *newText;
    QAction *openText;
    QAction *openResult;
    QMenu *recentLogs = nullptr; // made with the menu bar; RecentLogs fills it
    QAction *saveText;
    QAction *saveTextAs;
    QAction *saveResult;
    QAction *exportMeanPosition;
    QAction *exportTrack;
    QAction *quit;
    // Edit
    QAction *undo;
    QAction *cut;
    QAction *copy;
    QAction *paste;
    QAction *selectAll;
    QAction *filter;
    // Tools
    QAction *receiveData;
    QAction *sendData;
    QAction *showResultPage;
    QAction *rs232Settings;
    QAction *preferences;
    // Help
    QAction *helpBubbles;
    QAction *reportBug;
    QAction *about;
    // Tool bar
    QAction *toolOpenText;
    QAction *toolSaveText;
    QAction *toolReceive;
    QAction *toolSend;
    QAction *toolFilter;
    QAction *toolShowNmea;
    QAction *toolShowFiltered;
    // Shortcut of the result file's open dialog without a menu item.
    QAction *resultOpenShortcut;
};
