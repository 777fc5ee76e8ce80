#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "ui/logo_picture.h"
#include "ui/schmatic.h"
#include "ui/wiring_picture.h"

namespace {

int countPixels(const QImage &image, QRgb rgb)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == rgb;
    return count;
}

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
    void pictureSizes_data();
    void pictureSizes();
    void wireColoursAppear_data();
    void wireColoursAppear();
    void pinDots_data();
    void pinDots();
    void socketIsFemaleFrontView_data();
    void socketIsFemaleFrontView();
    void logoHasBothLinesUnclipped();
    void windowLayout();
    void closingDeletesWindow_data();
    void closingDeletesWindow();
};

void TestPictures::pictureSizes_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("logo") << drawLogo().toImage() << QSize(100, 45);
    QTest::newRow("wiring") << drawWiringPicture() << QSize(487, 484);
}

void TestPictures::pictureSizes()
{
    QFETCH(QImage, picture);
    QFETCH(QSize, expected);
    QCOMPARE(picture.size(), expected);
    QCOMPARE(picture.devicePixelRatio(), 1.0);
}

void TestPictures::wireColoursAppear_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("orange ground") << WireColour::ground;
    QTest::newRow("blue receive") << WireColour::receive;
    QTest::newRow("green transmit") << WireColour::transmit;
    QTest::newRow("red supply") << WireColour::supply;
}

void TestPictures::wireColoursAppear()
{
    QFETCH(QRgb, colour);
    // A visible wire is a few pixels wide and well over a hundred long.
    QVERIFY2(countPixels(drawWiringPicture(), colour) > 400, "wire missing or too thin");
}

void TestPictures::pinDots_data()
{
    QTest::addColumn<int>("pin");
    QTest::addColumn<int>("expectedWire");
    QTest::newRow("5 ground") << 5 << int(WireColour::ground);
    QTest::newRow("2 receive") << 2 << int(WireColour::receive);
    QTest::newRow("3 transmit") << 3 << int(WireColour::transmit);
    for (int pin : {1, 4, 6, 7, 8, 9})
        QTest::addRow("%d unused", pin) << pin << 0;
}

void TestPictures::pinDots()
{
    QFETCH(int, pin);
    QFETCH(int, expectedWire);
    const QImage picture = drawWiringPicture();
    const QPoint hole = db9PinCentre(pin).toPoint();
    if (expectedWire) {
        QCOMPARE(picture.pixel(hole), QRgb(expectedWire));
        // The wires come down onto their pins, so just above the dot the
        // wire itself must be the same colour.
        QCOMPARE(picture.pixel(hole - QPoint(0, 14)), QRgb(expectedWire));
    } else {
        QVERIFY2(isInk(picture.pixel(hole)), "an unused pin should show an empty, dark hole");
    }
}

void TestPictures::socketIsFemaleFrontView_data()
{
    QTest::addColumn<int>("leftPin");
    QTest::addColumn<int>("rightPin");
    // Seen from its mating face a female socket mirrors the male layout.
    const int pairs[][2] = {{5, 4}, {4, 3}, {3, 2}, {2, 1}, {9, 8}, {8, 7}, {7, 6},
                            {5, 9}, {9, 4}, {2, 6}, {6, 1}};
    for (const auto &pair : pairs)
        QTest::addRow("%d left of %d", pair[0], pair[1]) << pair[0] << pair[1];
}

void TestPictures::socketIsFemaleFrontView()
{
    QFETCH(int, leftPin);
    QFETCH(int, rightPin);
    QVERIFY(db9PinCentre(leftPin).x() < db9PinCentre(rightPin).x());
    const auto rowOf = [](int pin) { return db9PinCentre(pin).y(); };
    QCOMPARE(rowOf(leftPin) < rowOf(6), leftPin <= 5);
    QCOMPARE(rowOf(rightPin) < rowOf(6), rightPin <= 5);
}

void TestPictures::logoHasBothLinesUnclipped()
{
    const QImage logo = drawLogo().toImage();
    QCOMPARE(logo.pixel(0, 0), qRgb(255, 255, 255));
    QVERIFY2(inkInRows(logo, 0, 21) > 150, "brand word missing");
    QVERIFY2(inkInRows(logo, 27, 44) > 80, "subtitle missing");
    // Ink on the border means a line ran off the edge.
    QCOMPARE(inkInRows(logo, 0, 0) + inkInRows(logo, 44, 44), 0);
    for (int y = 0; y < logo.height(); ++y)
        QVERIFY(!isInk(logo.pixel(0, y)) && !isInk(logo.pixel(99, y)));
}

void TestPictures::windowLayout()
{
    Schmatic window;
    QVERIFY(window.isWindow());
    QCOMPARE(window.objectName(), QStringLiteral("schmatic"));
    QCOMPARE(window.accessibleName(), QStringLiteral("schmatic"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(window.minimumSize(), QSize(508, 528));
    QCOMPARE(window.maximumSize(), QSize(508, 528));
    QVERIFY(window.autoFillBackground());
    QCOMPARE(window.palette().color(QPalette::Window), window.palette().color(QPalette::WindowText));

    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Picture1")), window.Picture1);
    QCOMPARE(window.Picture1->accessibleName(), QStringLiteral("Picture1"));
    QCOMPARE(window.Picture1->geometry(), QRect(8, 8, 489, 513));
    QCOMPARE(window.Picture1->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QVERIFY(!window.Picture1->hasScaledContents());
    QCOMPARE(window.Picture1->pixmap().size(), QSize(487, 484));
}

void TestPictures::closingDeletesWindow_data()
{
    QTest::addColumn<bool>("withParent");
    QTest::newRow("alone") << false;
    QTest::newRow("owned by another window") << true;
}

void TestPictures::closingDeletesWindow()
{
    QFETCH(bool, withParent);
    QWidget owner;
    QPointer<Schmatic> window = new Schmatic(withParent ? &owner : nullptr);
    window->show();
    QVERIFY(window->isWindow());
    QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
}

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
