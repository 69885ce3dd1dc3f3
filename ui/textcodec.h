#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

// Every text the program keeps is 8-bit Windows-1252; Qt wants QString.
QString fromWindows1252(std::string_view bytes);
QStringList fromWindows1252(const std::vector<std::string> &lines);
std::string toWindows1252(const QString &text);
// The core's fill-in of a Windows-1252 message, for a text (a path) that
// Windows-1252 may not hold.
QString fillIn(std::string_view format, const QString &text);

// "Datei ... kann nicht erstellt werden", as the framework says it, and the
// system's reason on a line of its own when there is one.
QString cannotCreateMessage(const QString &path, const std::string &reason);

// A path as the file functions of the core take it.
std::string localPath(const QString &path);
