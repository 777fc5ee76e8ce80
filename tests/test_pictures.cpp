// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "ui/logo_picture.h"
#include "ui/wiring_picture.h"
#include "ui/wiring_window.h"

namespace {

bool isInk(QRgb pixel)
{
    return QColor::fromRgb(pixel).lightness() < 110;
}

int inkInRows(const QImage &image, int firstRow, int lastRow)
{
    int count = 0;
    for (int y = firstRow; y <= lastRow; ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isInk(image.pixel(x, y));
    return count;
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT
private slots:
    void wiresLandOnTheirPins_data()
    {
        QTest::addColumn<int>("pin");
        QTest::addColumn<uint>("wire"); // 0: unused
        QTest::newRow("5 ground") << 5 << WireColour::ground;
        QTest::newRow("2 receive") << 2 << WireColour::receive;
        QTest::newRow("3 transmit") << 3 << WireColour::transmit;
        for (int pin : {1, 4, 6, 7, 8, 9})
            QTest::addRow("%d unused", pin) << pin << 0u;
    }

    void wiresLandOnTheirPins()
    {
        QFETCH(int, pin);
        QFETCH(uint, wire);
        const QImage picture = drawWiringPicture();
        const QPoint hole = db9PinCentre(pin).toPoint();
        if (!wire) {
            QVERIFY2(isInk(picture.pixel(hole)), "an unused pin shows an empty, dark hole");
            return;
        }
        // The dot takes the wire's colour, and the wire comes down onto it.
        QCOMPARE(picture.pixel(hole), wire);
        QCOMPARE(picture.pixel(hole - QPoint(0, 14)), wire);
    }

    void socketIsFemaleFrontView()
    {
        // From its mating face a female socket mirrors the male layout: 5..1
        // along the top, 9..6 along the bottom, each bottom pin between two.
        const int leftToRight[] = {5, 9, 4, 8, 3, 7, 2, 6, 1};
        for (int i = 1; i < 9; ++i) {
            const int left = leftToRight[i - 1], right = leftToRight[i];
            QVERIFY(db9PinCentre(left).x() < db9PinCentre(right).x());
            QCOMPARE(db9PinCentre(left).y() < db9PinCentre(right).y(), left <= 5);
        }
    }

    void logoHasBothLinesUnclipped()
    {
        const QImage logo = drawLogo().toImage();
        QCOMPARE(logo.size(), QSize(100, 45));
        QCOMPARE(logo.pixel(0, 0), qRgb(255, 255, 255));
        QVERIFY2(inkInRows(logo, 0, 21) > 150, "brand word missing");
        QVERIFY2(inkInRows(logo, 27, 44) > 80, "subtitle missing");
        // Ink on the border means a line ran off the edge.
        QCOMPARE(inkInRows(logo, 0, 0) + inkInRows(logo, 44, 44), 0);
        for (int y = 0; y < logo.height(); ++y)
            QVERIFY(!isInk(logo.pixel(0, y)) && !isInk(logo.pixel(99, y)));
    }

    void windowLayout()
    {
        WiringWindow window;
        QVERIFY(window.isWindow());
        QCOMPARE(window.objectName(), "schmatic");
        QCOMPARE(window.windowTitle(), "Form1");
        QCOMPARE(window.minimumSize(), QSize(508, 528));
        QCOMPARE(window.maximumSize(), QSize(508, 528));
        QCOMPARE(window.findChild<QLabel *>("Picture1"), window.picture);
        QCOMPARE(window.picture->geometry(), QRect(8, 8, 489, 513));
        QCOMPARE(window.picture->pixmap().size(), QSize(487, 484)); // the whole wiring picture
        // The note on a unit that does not answer sits in the frame, under the drawing.
        const QRect note = window.noAnswerNote->geometry();
        QVERIFY(window.rect().contains(note));
        QVERIFY(note.top() >= window.picture->y() + window.picture->pixmap().height());
    }

    void closingDeletesWindow_data()
    {
        QTest::addColumn<bool>("withParent");
        QTest::newRow("alone") << false;
        QTest::newRow("owned by another window") << true;
    }

    void closingDeletesWindow()
    {
        QFETCH(bool, withParent);
        QWidget owner;
        QPointer<WiringWindow> window = new WiringWindow(withParent ? &owner : nullptr);
        window->show();
        QVERIFY(window->isWindow() && window->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
