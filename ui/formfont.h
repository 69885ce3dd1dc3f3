#pragma once

#include <QFont>

// The windows are laid out for an 8 point font: the desktop's default
// would cut captions at their fixed places.
QFont formFont();
