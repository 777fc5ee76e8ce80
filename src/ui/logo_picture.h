// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

// The 100 x 45 brand logo shown on the console, drawn rather than loaded so
// the program ships no image files.
QPixmap drawLogo();
