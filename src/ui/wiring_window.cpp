// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wiring_window.h"

#include <QLabel>
#include <QPixmap>
#include <QShortcut>

#include "ui/wiring_picture.h"

namespace {

// What a screen reader speaks for the window and its two parts.
void nameForScreenReaders(WiringWindow &window)
{
    window.setAccessibleName(QStringLiteral("How to wire the cable"));
    window.picture->setAccessibleName(QStringLiteral("Wiring diagram of the serial cable"));
    // The drawing in words, for those who cannot see it.
    window.picture->setAccessibleDescription(QStringLiteral(
        "Three wires from the ignition unit's terminal block to the PC's female 9-pin serial "
        "connector: terminal 1, ground, to pin 5; terminal 2, receive data, to pin 2; "
        "terminal 3, transmit data, to pin 3. Terminal 4 goes to 12 volts."));
    window.noAnswerNote->setAccessibleName(QStringLiteral("When the unit does not answer"));
    window.noAnswerNote->setAccessibleDescription(window.noAnswerNote->text());
}

} // namespace

WiringWindow::WiringWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), picture(new QLabel(this)), noAnswerNote(new QLabel(this))
{
    setObjectName(QStringLiteral("schmatic"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(508, 528);
    // A picture to glance at: Escape closes it, as it would a dialog.
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
        new QShortcut(keys, this, this, &QWidget::close);

    QPalette framed = palette();
    framed.setColor(QPalette::Window, framed.color(QPalette::WindowText));
    setPalette(framed);
    setAutoFillBackground(true);

    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(8, 8, 489, 513);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(QPixmap::fromImage(drawWiringPicture()));

    // The drawing leaves the bottom of its frame free.
    noAnswerNote->setObjectName(QStringLiteral("noanswernote"));
    noAnswerNote->setGeometry(8, 493, 489, 32);
    noAnswerNote->setWordWrap(true);
    QFont small = noAnswerNote->font();
    small.setPointSizeF(7.5);
    noAnswerNote->setFont(small);
    QPalette onFrame = noAnswerNote->palette();
    onFrame.setColor(QPalette::WindowText, framed.color(QPalette::Base));
    noAnswerNote->setPalette(onFrame);
    noAnswerNote->setText(QStringLiteral(
        "No answer? A strip under the main window says what the console hears: nothing (power, "
        "TX and RX swapped, no ground), its own commands (a loopback) or unreadable bytes."));
    nameForScreenReaders(*this);
}
