// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about_action.h"

#include "torvane_version.h"

#include <QAction>
#include <QMessageBox>
#include <QWidget>

QString aboutText()
{
    return QStringLiteral("Torvane Data Link " TORVANE_VERSION "\n\n" TORVANE_LICENCE_NOTICE
                          "\n\nThe documentation is in " TORVANE_DOCDIR
                          ", the README (README.md) first; the manual page is "
                          "\"man torvane-console\".");
}

void attachAboutAction(QWidget &window)
{
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *separator = new QAction(&window);
    separator->setSeparator(true);
    window.addAction(separator);
    auto *about = new QAction(QStringLiteral("About Torvane Data Link..."), &window);
    about->setObjectName(QStringLiteral("aboutAction"));
    QObject::connect(about, &QAction::triggered, &window, [&window] {
        auto *box = new QMessageBox(QMessageBox::Information,
                                    QStringLiteral("About Torvane Data Link"), aboutText(),
                                    QMessageBox::Ok, &window);
        box->setObjectName(QStringLiteral("aboutBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->open();
    });
    window.addAction(about);
}
