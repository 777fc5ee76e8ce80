// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/keyboard_context_menu.h"

#include <QAction>
#include <QMenu>
#include <QShortcut>

namespace {

void openMenuAtFocus(QWidget &window)
{
    if (window.actions().isEmpty())
        return;
    QWidget *focused = window.focusWidget();
    QWidget *at = focused && focused->isVisible() ? focused : &window;
    auto *menu = new QMenu(&window);
    menu->setObjectName(QStringLiteral("contextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions(window.actions());
    menu->popup(at->mapToGlobal(at->rect().center()));
    for (QAction *action : menu->actions())
        if (!action->isSeparator() && action->isEnabled())
            return menu->setActiveAction(action);
}

} // namespace

void attachContextMenuKeys(QWidget &window)
{
    // Some desktops leave the keys out of context menus; this one is where
    // they are learnt.
    for (QAction *action : window.actions())
        action->setShortcutVisibleInContextMenu(true);
    for (const QKeySequence &keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto *shortcut = new QShortcut(keys, &window);
        QObject::connect(shortcut, &QShortcut::activated, &window,
                         [&window] { openMenuAtFocus(window); });
    }
}
