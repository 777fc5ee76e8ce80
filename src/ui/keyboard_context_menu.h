// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The Menu key and Shift+F10 open the window's right-click menu (its
// actions) at the control that has the focus, its first entry selected. The
// menu shows each action's key: attach once the actions are there.
void attachContextMenuKeys(QWidget &window);
