#pragma once

#include <QString>

// Where NAVRL.ini lives: beside the program when that folder can be written
// or already holds one (a portable copy), else in the user's configuration
// folder, as a program installed under /usr cannot write beside itself.
QString settingsFilePath();
QString settingsFilePath(const QString &programFolder, const QString &configFolder);
