#include "ui/schmatic.h"

#include <QLabel>
#include <QPixmap>

#include "ui/wiring_picture.h"

Schmatic::Schmatic(QWidget *parent) : QWidget(parent, Qt::Window), Picture1(new QLabel(this))
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

    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("Picture1"));
    Picture1->setGeometry(8, 8, 489, 513);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(QPixmap::fromImage(drawWiringPicture()));
}
