// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_window.h"

#include "protocol/engine_figure.h"

#include "gauges/angular_gauge.h"
#include "gauges/gauge_animation.h"
#include "gauges/linear_gauge.h"
#include "ui/alarm_strip.h"
#include "ui/color_button.h"
#include "ui/console_accessible_names.h"
#include "ui/logo_picture.h"
#include "ui/setting_editor.h"
#include "gauges/packed_color.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

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

// Names, places, colours and sets the font and alignment of a text control.
template <typename Control>
Control *textControl(Control *control, const char *objectName, const QRect &rect,
                     const QColor &back, const QColor &fore, const QFont &f, Qt::Alignment align)
{
    name(control, objectName);
    control->setGeometry(rect);
    paint(control, back, fore);
    control->setFont(f);
    control->setAlignment(align);
    return control;
}

QLabel *label(QWidget *form, const char *objectName, const QString &text, const QRect &rect,
              const QColor &back, const QColor &fore, const QFont &f,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop)
{
    return textControl(new QLabel(text, form), objectName, rect, back, fore, f, align);
}

// Display boxes show what the unit reports; the user does not type into them.
QLineEdit *textBox(QWidget *form, const char *objectName, const QString &text, const QRect &rect,
                   const QColor &back, const QColor &fore, const QFont &f,
                   Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *t = textControl(new QLineEdit(text, form), objectName, rect, back, fore, f, align);
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
    auto *s = new SettingEditor(form);
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

} // namespace

void ConsoleWindow::buildControls()
{
    setObjectName(QStringLiteral("dashform"));
    setWindowTitle(QStringLiteral("TORVANE DATA LINK"));
    formSize = twips(0, 0, 10245, 7140).size();
    setFixedSize(formSize);
    paint(this, navy, white);
    setFont(faceFont(8.25));

    const QFont defaultFont = faceFont(8.25);
    const QFont bold825 = faceFont(8.25, true);
    const QFont bold975 = faceFont(9.75, true);
    const QFont bold12 = faceFont(12, true);

    // Header band.
    logo = label(this, "Logo", QString(), twips(120, 240, 1500, 675), white, black, defaultFont);
    logo->setPixmap(drawLogo());
    QFont title = faceFont(24, true);
    title.setItalic(true);
    // Our sans face runs slightly wider than the label; tighten it to fit.
    title.setLetterSpacing(QFont::PercentageSpacing, 96);
    titleLabel = label(this, "Label16", QStringLiteral("Torvane Interactive Configuration"),
                       twips(1680, 120, 7575, 615), navy, QColor(255, 255, 128), title);
    seriesLabel = label(this, "Label14", QStringLiteral("Torvane Series 410 / 420 Ignitions"),
                        twips(2280, 720, 3015, 255), navy, white, bold825);
    releaseLabel = label(this, "Label1", QStringLiteral("Rev: 04 Release"),
                         twips(5280, 720, 1455, 255), navy, white, bold825);
    statusCaption = label(this, "Label2", QStringLiteral("Status:"), twips(480, 960, 855, 375), navy,
                          white, bold12);
    // The link's status replaces this text at once.
    statusBox = textBox(this, "statusbox", QStringLiteral("Not Connected"),
                        twips(1440, 960, 4215, 300), navy, QColor(0, 255, 0), bold12);
    statusBox->setFrame(false);
    const uint32_t pink = PackedColor::pack(255, 128, 128);
    const char *const portNames[] = {"com1", "com2", "com3", "com4"};
    for (int i = 0; i < portCount; ++i)
        portButtons[i] = button(this, portNames[i], QStringLiteral("COM%1").arg(i + 1),
                                twips(6840 + 840 * i, 840, 735, 375), pink, defaultFont);
    const uint32_t buttonGreen = PackedColor::pack(0, 192, 0);
    resetButton = button(this, "Command5", QStringLiteral("RESET"), twips(8760, 720, 1095, 375),
                         buttonGreen, bold825, false);

    // Gauge area: the bars, the propeller dial over them, and two dials that
    // stand below the client area.
    engineBars = new LinearGauge(this);
    name(engineBars, "LGauge1");
    engineBars->setGeometry(twips(360, 1440, 7695, 4995));
    engineBars->setCaption(QStringLiteral("Torvane"));
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        const FigureInfo &info = figureInfo(GaugeAnimation::barFigures[i]);
        engineBars->setPointerCaption(i, QLatin1String(info.caption));
        engineBars->setPointerScale(i, info.gaugeMinimum, info.gaugeMaximum);
    }
    engineBars->setPointerLegend(3, QStringLiteral("SHORT"));
    engineBars->setPointerLegend(4, QStringLiteral("OPEN"));
    propellerDial = dial(this, "AGauge2", twips(840, 2040, 6735, 3855), 0, 360,
                         QStringLiteral("PROP ANGLE"));
    propellerDial->setScale(0, 360, true);
    rpmDial = dial(this, "rpmdial", twips(360, 12480, 2655, 2175), 0, 3500, QStringLiteral("RPM"),
                   QStringLiteral("Engine"));
    voltsDial = dial(this, "voltsdial", twips(3120, 12480, 2535, 2175), 0, 18,
                     QStringLiteral("VOLTS"), QStringLiteral("Aircraft Buss"));

    // Configuration column, a row every 720 twips. The LED box's names are
    // longer, so its text is smaller.
    struct RowLayout {
        const char *caption, *box, *editor;
        const char *text;
        int captionLeft, captionWidth;
    };
    const RowLayout rows[settingCount] = {
        {"Label9", "cycledata", "cyclescroll", "Start Delay", 8400, 1575},
        {"Label11", "leddata", "ledscroll", "LED", 8520, 1335},
        {"Label12", "pprdata", "pprscroll", "Tach - PPR", 8400, 1455},
        {"Label15", "conshiftdata", "conshiftscroll", "Adv Shift", 8400, 1455},
        {"Label19", "maxrpmdata", "maxrpmscroll", "Max RPM ", 8520, 1335},
        {"Label20", "maxadvancedata", "maxadvancescroll", "Max ADV", 8520, 1335},
    };
    const Qt::Alignment centred = Qt::AlignCenter;
    for (int i = 0; i < settingCount; ++i) {
        const RowLayout &r = rows[i];
        const int top = 1800 + 720 * i;
        SettingRow &row = settingRows[i];
        row.caption = label(this, r.caption, QLatin1String(r.text),
                            twips(r.captionLeft, top + 360, r.captionWidth, 255), navy, white,
                            bold975, centred);
        row.box = textBox(this, r.box, QString(), twips(8400, top, 735, 360), yellow, black,
                          Setting(i) == Setting::Led ? bold825 : bold975, centred);
        const SettingDefinition &definition = settingDefinitions[i];
        row.editor = scrollBar(this, r.editor, twips(9360, top + 120, 495, 255),
                               definition.minimum, definition.maximum);
        row.editor->setValue(definition.initial);
    }
    storeButton = button(this, "storebutton", QStringLiteral("STORE CONFIG"),
                         twips(8400, 6600, 1455, 375), PackedColor::darkGrey, defaultFont);

    // Bottom band.
    QPalette highlightText;
    firmwareCaption = label(this, "Label10", QStringLiteral("FW Rev:"), twips(480, 6600, 975, 375),
                            navy, highlightText.color(QPalette::HighlightedText),
                            faceFont(12, false, serifFace));
    firmwareBox = textBox(this, "revdata", QStringLiteral("0"), twips(1560, 6600, 615, 360), teal,
                          black, bold825, centred);
    const QFont caption675 = faceFont(6.75, false, serifFace);
    temperatureCaption = label(this, "Label8", QStringLiteral("TEMP DEG C"),
                               twips(2520, 6600, 855, 135), navy, white, caption675, centred);
    currentCaption = label(this, "Label4", QStringLiteral("CURRENT"), twips(2520, 6840, 855, 135),
                           navy, white, caption675, centred);
    temperatureBox = textBox(this, "tempdata", QString(), twips(3480, 6600, 615, 345), teal, black,
                             bold975, centred);
    maxTemperatureUnitCaption = label(this, "Label5", QStringLiteral("DEG C"),
                                      twips(4200, 6600, 495, 135), navy, white, caption675, centred);
    maxTemperatureCaption = label(this, "Label3", QStringLiteral("MAX"), twips(4200, 6840, 495, 135),
                                  navy, white, caption675, centred);
    maxTemperatureBox = textBox(this, "maxtempdata", QString(), twips(4800, 6600, 615, 345), teal,
                                black, bold975, centred);
    wiringButton = button(this, "Command4", QStringLiteral("CONNECTION INFO"),
                          twips(5640, 6600, 2295, 375), buttonGreen, bold975);
    // The advance-mode row is not offered yet: its buttons stay hidden.
    tablesButton = button(this, "advset", QStringLiteral("Tables"), twips(360, 7200, 1095, 375),
                          PackedColor::orange, bold975, false);
    autoAdvanceButton = button(this, "Command2", QStringLiteral("Auto"),
                               twips(1560, 7200, 1095, 375), PackedColor::green, bold975, false);
    manualAdvanceButton = button(this, "Command3", QStringLiteral("Manual"),
                                 twips(2880, 7200, 1095, 375), PackedColor::pack(128, 128, 128),
                                 bold975, false);
    retardButton = button(this, "Command6", QStringLiteral("-"), twips(4080, 7200, 375, 360),
                          PackedColor::darkGrey, faceFont(14.25, true), false);
    advanceButton = button(this, "Command7", QStringLiteral("+"), twips(4560, 7200, 375, 345),
                           PackedColor::darkGrey, faceFont(12, true), false);

    // Where the advance-mode row would be: that row is not offered, and the
    // hint needs the room only while no unit answers.
    wiringHintStrip = label(this, "wiringhint", QString(), twips(360, 7200, 9495, 600),
                            QColor(255, 224, 128), black, bold825,
                            Qt::AlignLeft | Qt::AlignVCenter);
    wiringHintStrip->setWordWrap(true);
    wiringHintStrip->setMargin(4);
    wiringHintStrip->hide();

    // Below the hint, or where it would be: the engine's exceedances.
    alarmStrip = new AlarmStrip(this);
    name(alarmStrip, "alarmstrip");
    alarmStrip->setGeometry(wiringHintStrip->x(), wiringHintStrip->y(), wiringHintStrip->width(),
                            0);
    alarmStrip->hide();

    nameConsoleControls(*this);
}
