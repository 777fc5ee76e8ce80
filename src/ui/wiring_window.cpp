// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wiring_window.h"

#include <QLabel>
#include <QPixmap>

#include "ui/wiring_picture.h"

WiringWindow::WiringWindow(QWidget *parent) : QWidget(parent, Qt::Window), picture(new QLabel(this))
{
    setObjectName(QStringLiteral("schmatic"));
    setAccessibleName(QStringLiteral("schmatic"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(508, 528);

    QPalette framed = palette();
    framed.setColor(QPalette::Window, framed.color(QPalette::WindowText));
    setPalette(framed);
    setAutoFillBackground(true);

    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setAccessibleName(QStringLiteral("Picture1"));
    picture->setGeometry(8, 8, 489, 513);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(QPixmap::fromImage(drawWiringPicture()));
}
