// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// What the About box says: the program's version, its licence and where the
// installed documentation lies.
QString aboutText();

// "About Torvane Data Link...", last in the window's menu, after a separator.
void attachAboutAction(QWidget &window);
