#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "protocol/number_format.h"
#include "ui/dashform.h"
#include "ui/packed_color.h"

#include <cmath>

namespace {

enum Pointer : int16_t { Rpm = 0, Advance = 1, Volts = 2, Pair12 = 3, Pair34 = 4 };

// Colour bands: below `low` orange, strictly between `greenFrom` and `greenTo`
// green, above `red` red. The values in the gaps keep the colour they had.
struct Bands {
    int low;
    int greenFrom;
    int greenTo;
    int red;
};

constexpr Bands rpmBands{1000, 1001, 2900, 2900};
constexpr Bands voltsBands{8, 9, 15, 15};
constexpr Bands advanceBands{20, 21, 39, 40};

void colourBy(LinearGauge *gauge, int16_t pointer, int value, const Bands &bands)
{
    gauge->setColorPointer(pointer);
    if (value < bands.low)
        gauge->setPointerColor(PackedColor::orange);
    if (value > bands.greenFrom && value < bands.greenTo)
        gauge->setPointerColor(PackedColor::green);
    if (value > bands.red)
        gauge->setPointerColor(PackedColor::red);
}

// Moves the selected pointer one fixed step toward the target.
void stepToward(LinearGauge *gauge, double target, double step)
{
    if (gauge->PointerValue() < target)
        gauge->setPointerValue(gauge->PointerValue() + step);
    if (gauge->PointerValue() > target)
        gauge->setPointerValue(gauge->PointerValue() - step);
}

} // namespace

// Every 10 ms: each needle and bar moves a bounded step toward the latest
// decoded value, reading its current value back from the gauge itself.
void DashForm::Timer2_Timer()
{
    if (AGauge2->NeedleValue() > propAngle)
        AGauge2->setNeedleValue(AGauge2->NeedleValue() - 1);
    if (AGauge2->NeedleValue() < propAngle)
        AGauge2->setNeedleValue(AGauge2->NeedleValue() + 1);
    if (std::fabs(propAngle - AGauge2->NeedleValue()) > 90)
        AGauge2->setNeedleValue(propAngle);

    LGauge1->beginBatch();
    LGauge1->setPointer(Rpm);
    scratchValue = roundToInt16(std::fabs(LGauge1->PointerValue() - engineRpm)).value_or(32767);
    scratchValue = scratchValue >= 25 ? int16_t(scratchValue / 10) : int16_t(1);
    if (LGauge1->PointerValue() > engineRpm)
        LGauge1->setPointerValue(LGauge1->PointerValue() - scratchValue);
    if (LGauge1->PointerValue() < engineRpm)
        LGauge1->setPointerValue(LGauge1->PointerValue() + scratchValue);
    colourBy(LGauge1, Rpm, engineRpm, rpmBands);

    LGauge1->setPointer(Volts);
    if (LGauge1->PointerValue() > busVolts)
        LGauge1->setPointerValue(LGauge1->PointerValue() - 0.1);
    if (LGauge1->PointerValue() < busVolts)
        LGauge1->setPointerValue(LGauge1->PointerValue() + 0.1);
    colourBy(LGauge1, Volts, busVolts, voltsBands);

    LGauge1->setPointer(Advance);
    stepToward(LGauge1, advanceDegrees, 0.1);
    colourBy(LGauge1, Advance, advanceDegrees, advanceBands);

    LGauge1->setPointer(Pair12);
    stepToward(LGauge1, pair12Value, 1);
    LGauge1->setPointer(Pair34);
    stepToward(LGauge1, pair34Value, 1);
    LGauge1->endBatch();

    if (engineRpm >= 50) {
        if (linkUp && !engineRunning) {
            AGauge2->hide();
            engineRunning = true;
        }
    } else if (engineRunning) {
        engineRunning = false;
        AGauge2->show();
    }
}
