#include "ui/dashform.h"

#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/logo_picture.h"
#include "ui/packed_color.h"
#include "ui/text_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int twipsPerPixel = 15;

QRect twips(int left, int top, int width, int height)
{
    return QRect(left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
                 height / twipsPerPixel);
}

const QString sansFace = QStringLiteral("Liberation Sans");
const QString serifFace = QStringLiteral("Liberation Serif");

const QColor navy(0, 0, 128);
const QColor white(255, 255, 255);
const QColor yellow(255, 255, 0);
const QColor teal(0, 192, 192);
const QColor black(0, 0, 0);

QFont faceFont(double points, bool bold = false, const QString &face = sansFace)
{
    QFont f(face);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void name(QWidget *control, const char *objectName)
{
    control->setObjectName(QLatin1String(objectName));
    setTag(control, QString());
}

void paint(QWidget *control, const QColor &back, const QColor &text)
{
    QPalette p = control->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        p.setColor(role, back);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    control->setPalette(p);
    control->setAutoFillBackground(true);
}

QLabel *label(QWidget *form, const char *objectName, const QString &text, const QRect &rect,
              const QColor &back, const QColor &fore, const QFont &f,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop)
{
    auto *l = new QLabel(text, form);
    name(l, objectName);
    l->setGeometry(rect);
    paint(l, back, fore);
    l->setFont(f);
    l->setAlignment(align);
    return l;
}

// Display boxes show what the unit reports; the user does not type into them.
QLineEdit *textBox(QWidget *form, const char *objectName, const QString &text, const QRect &rect,
                   const QColor &back, const QColor &fore, const QFont &f,
                   Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *t = new TextBox(text, form);
    name(t, objectName);
    t->setGeometry(rect);
    paint(t, back, fore);
    t->setFont(f);
    t->setAlignment(align);
    t->setReadOnly(true);
    t->setFocusPolicy(Qt::NoFocus);
    t->setTextMargins(0, 0, 0, 0);
    return t;
}

ColorButton *button(QWidget *form, const char *objectName, const QString &caption,
                    const QRect &rect, uint32_t packedBack, const QFont &f, bool visible = true)
{
    auto *b = new ColorButton(form);
    name(b, objectName);
    b->setText(caption);
    b->setGeometry(rect);
    b->setBackColor(packedBack);
    b->setFont(f);
    b->setVisible(visible);
    return b;
}

QScrollBar *scrollBar(QWidget *form, const char *objectName, const QRect &rect, int minimum,
                      int maximum)
{
    auto *s = new QScrollBar(Qt::Horizontal, form);
    name(s, objectName);
    s->setGeometry(rect);
    s->setRange(minimum, maximum);
    s->setValue(minimum);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setVisible(false);
    return s;
}

AngularGauge *dial(QWidget *form, const char *objectName, const QRect &rect, double minimum,
                   double maximum, const QString &caption, const QString &subCaption = {})
{
    auto *d = new AngularGauge(form);
    name(d, objectName);
    d->setGeometry(rect);
    d->setScale(minimum, maximum);
    d->setCaptions(caption, subCaption);
    return d;
}

QTimer *timer(QObject *form, const char *objectName, int intervalMs, bool enabled,
             Qt::TimerType type = Qt::CoarseTimer)
{
    auto *t = new QTimer(form);
    t->setObjectName(QLatin1String(objectName));
    setTag(t, QString());
    t->setInterval(intervalMs);
    t->setTimerType(type);
    if (enabled)
        t->start();
    return t;
}

} // namespace

void DashForm::buildControls()
{
    setObjectName(QStringLiteral("dashform"));
    setWindowTitle(QStringLiteral("TORVANE DATA LINK"));
    setFixedSize(twips(0, 0, 10245, 7140).size());
    paint(this, navy, white);
    setFont(faceFont(8.25));
    setTag(this, QStringLiteral("0"));

    const QFont defaultFont = faceFont(8.25);
    const QFont bold825 = faceFont(8.25, true);
    const QFont bold975 = faceFont(9.75, true);
    const QFont bold12 = faceFont(12, true);

    // Header band.
    Logo = label(this, "Logo", QString(), twips(120, 240, 1500, 675), white, black, defaultFont);
    Logo->setPixmap(drawLogo());
    QFont title = faceFont(24, true);
    title.setItalic(true);
    // Our sans face runs slightly wider than the label; tighten it to fit.
    title.setLetterSpacing(QFont::PercentageSpacing, 96);
    Label16 = label(this, "Label16", QStringLiteral("Torvane Interactive Configuration"),
                    twips(1680, 120, 7575, 615), navy, QColor(255, 255, 128), title);
    Label14 = label(this, "Label14", QStringLiteral("Torvane Series 410 / 420 Ignitions"),
                    twips(2280, 720, 3015, 255), navy, white, bold825);
    Label1 = label(this, "Label1", QStringLiteral("Rev: 04 Release"), twips(5280, 720, 1455, 255),
                   navy, white, bold825);
    Label2 = label(this, "Label2", QStringLiteral("Status:"), twips(480, 960, 855, 375), navy, white,
                   bold12);
    statusbox = textBox(this, "statusbox", QStringLiteral("Not Connected"),
                        twips(1440, 960, 4215, 300), navy, QColor(0, 255, 0), bold12);
    statusbox->setFrame(false);
    const uint32_t pink = PackedColor::pack(255, 128, 128);
    com1 = button(this, "com1", QStringLiteral("COM1"), twips(6840, 840, 735, 375), pink, defaultFont);
    com2 = button(this, "com2", QStringLiteral("COM2"), twips(7680, 840, 735, 375), pink, defaultFont);
    com3 = button(this, "com3", QStringLiteral("COM3"), twips(8520, 840, 735, 375), pink, defaultFont);
    com4 = button(this, "com4", QStringLiteral("COM4"), twips(9360, 840, 735, 375), pink, defaultFont);
    const uint32_t buttonGreen = PackedColor::pack(0, 192, 0);
    Command5 = button(this, "Command5", QStringLiteral("RESET"), twips(8760, 720, 1095, 375),
                      buttonGreen, bold825, false);

    // Gauge area: the bars, the propeller dial over them, and two dials that
    // stand below the client area and serve only as poll counters.
    LGauge1 = new LinearGauge(this);
    name(LGauge1, "LGauge1");
    LGauge1->setGeometry(twips(360, 1440, 7695, 4995));
    LGauge1->setCaption(QStringLiteral("Torvane"));
    const char *const pointerCaptions[] = {"RPM", "ADV", "VOLTS", "1&2", "3&4"};
    const double scales[][2] = {{0, 3600}, {20, 45}, {0, 18}, {0, 100}, {0, 100}};
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        LGauge1->setPointerCaption(i, QLatin1String(pointerCaptions[i]));
        LGauge1->setPointerScale(i, scales[i][0], scales[i][1]);
    }
    LGauge1->setPointerLegend(3, QStringLiteral("SHORT"));
    LGauge1->setPointerLegend(4, QStringLiteral("OPEN"));
    AGauge2 = dial(this, "AGauge2", twips(840, 2040, 6735, 3855), 0, 360,
                   QStringLiteral("PROP ANGLE"));
    AGauge2->setScale(0, 360, true);
    rpmdial = dial(this, "rpmdial", twips(360, 12480, 2655, 2175), 0, 3500, QStringLiteral("RPM"),
                   QStringLiteral("Engine"));
    voltsdial = dial(this, "voltsdial", twips(3120, 12480, 2535, 2175), 0, 18,
                     QStringLiteral("VOLTS"), QStringLiteral("Aircraft Buss"));
    for (QWidget *w : {static_cast<QWidget *>(AGauge2), static_cast<QWidget *>(rpmdial),
                       static_cast<QWidget *>(voltsdial)})
        setTag(w, QStringLiteral("0"));

    // Configuration column.
    const Qt::Alignment centred = Qt::AlignCenter;
    Label9 = label(this, "Label9", QStringLiteral("Start Delay"), twips(8400, 2160, 1575, 255), navy,
                   white, bold975, centred);
    Label11 = label(this, "Label11", QStringLiteral("LED"), twips(8520, 2880, 1335, 255), navy, white,
                    bold975, centred);
    Label12 = label(this, "Label12", QStringLiteral("Tach - PPR"), twips(8400, 3600, 1455, 255), navy,
                    white, bold975, centred);
    Label15 = label(this, "Label15", QStringLiteral("Adv Shift"), twips(8400, 4320, 1455, 255), navy,
                    white, bold975, centred);
    Label19 = label(this, "Label19", QStringLiteral("Max RPM "), twips(8520, 5040, 1335, 255), navy,
                    white, bold975, centred);
    Label20 = label(this, "Label20", QStringLiteral("Max ADV"), twips(8520, 5760, 1335, 255), navy,
                    white, bold975, centred);
    cycledata = textBox(this, "cycledata", QString(), twips(8400, 1800, 735, 360), yellow, black,
                        bold975, centred);
    leddata = textBox(this, "leddata", QString(), twips(8400, 2520, 735, 360), yellow, black,
                      bold825, centred);
    pprdata = textBox(this, "pprdata", QString(), twips(8400, 3240, 735, 360), yellow, black,
                      bold975, centred);
    conshiftdata = textBox(this, "conshiftdata", QString(), twips(8400, 3960, 735, 360), yellow,
                           black, bold975, centred);
    maxrpmdata = textBox(this, "maxrpmdata", QString(), twips(8400, 4680, 735, 360), yellow, black,
                         bold975, centred);
    maxadvancedata = textBox(this, "maxadvancedata", QString(), twips(8400, 5400, 735, 360), yellow,
                             black, bold975, centred);
    cyclescroll = scrollBar(this, "cyclescroll", twips(9360, 1920, 495, 255), 0, 8);
    ledscroll = scrollBar(this, "ledscroll", twips(9360, 2640, 495, 255), 0, 3);
    pprscroll = scrollBar(this, "pprscroll", twips(9360, 3360, 495, 255), 0, 2);
    conshiftscroll = scrollBar(this, "conshiftscroll", twips(9360, 4080, 495, 255), -9, 9);
    conshiftscroll->setValue(0);
    maxrpmscroll = scrollBar(this, "maxrpmscroll", twips(9360, 4800, 495, 255), 0, 16);
    maxadvancescroll = scrollBar(this, "maxadvancescroll", twips(9360, 5520, 495, 255), 14, 35);
    storebutton = button(this, "storebutton", QStringLiteral("STORE CONFIG"),
                         twips(8400, 6600, 1455, 375), PackedColor::darkGrey, defaultFont);

    // Bottom band.
    QPalette highlightText;
    Label10 = label(this, "Label10", QStringLiteral("FW Rev:"), twips(480, 6600, 975, 375), navy,
                    highlightText.color(QPalette::HighlightedText), faceFont(12, false, serifFace));
    revdata = textBox(this, "revdata", QStringLiteral("0"), twips(1560, 6600, 615, 360), teal,
                      black, bold825, centred);
    const QFont caption675 = faceFont(6.75, false, serifFace);
    Label8 = label(this, "Label8", QStringLiteral("TEMP DEG C"), twips(2520, 6600, 855, 135), navy,
                   white, caption675, centred);
    Label4 = label(this, "Label4", QStringLiteral("CURRENT"), twips(2520, 6840, 855, 135), navy,
                   white, caption675, centred);
    tempdata = textBox(this, "tempdata", QString(), twips(3480, 6600, 615, 345), teal, black,
                       bold975, centred);
    Label5 = label(this, "Label5", QStringLiteral("DEG C"), twips(4200, 6600, 495, 135), navy, white,
                   caption675, centred);
    Label3 = label(this, "Label3", QStringLiteral("MAX"), twips(4200, 6840, 495, 135), navy, white,
                   caption675, centred);
    maxtempdata = textBox(this, "maxtempdata", QString(), twips(4800, 6600, 615, 345), teal, black,
                          bold975, centred);
    Command4 = button(this, "Command4", QStringLiteral("CONNECTION INFO"),
                      twips(5640, 6600, 2295, 375), buttonGreen, bold975);
    advset = button(this, "advset", QStringLiteral("Tables"), twips(360, 7200, 1095, 375),
                    PackedColor::orange, bold975, false);
    Command2 = button(this, "Command2", QStringLiteral("Auto"), twips(1560, 7200, 1095, 375),
                      PackedColor::green, bold975, false);
    Command3 = button(this, "Command3", QStringLiteral("Manual"), twips(2880, 7200, 1095, 375),
                      PackedColor::pack(128, 128, 128), bold975, false);
    Command6 = button(this, "Command6", QStringLiteral("-"), twips(4080, 7200, 375, 360),
                      PackedColor::darkGrey, faceFont(14.25, true), false);
    Command7 = button(this, "Command7", QStringLiteral("+"), twips(4560, 7200, 375, 345),
                      PackedColor::darkGrey, faceFont(12, true), false);

    for (QLineEdit *box : {cycledata, leddata, pprdata, conshiftdata, maxrpmdata, maxadvancedata,
                           revdata, tempdata, maxtempdata})
        setTag(box, QStringLiteral("0"));
    for (QScrollBar *bar : {cyclescroll, ledscroll, pprscroll, conshiftscroll, maxrpmscroll,
                            maxadvancescroll})
        setTag(bar, QStringLiteral("0"));

    // Precise timers started together expire in the same wake-ups: the poll
    // cycle's and the pump's ticks fall on gauge steps.
    Timer1 = timer(this, "Timer1", 300, false, Qt::PreciseTimer);
    Timer2 = timer(this, "Timer2", 10, true, Qt::PreciseTimer);
    Timer3 = timer(this, "Timer3", 60, true, Qt::PreciseTimer);
    Timer4 = timer(this, "Timer4", 500, false);

    // Screen readers and GUI automation find every control by its name.
    setAccessibleName(objectName());
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        w->setAccessibleName(w->objectName());
}
