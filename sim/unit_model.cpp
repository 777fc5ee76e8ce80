// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/unit_model.h"

#include "sim/engine_model.h"
#include "sim/hex_text.h"
#include "sim/ignition_advance.h"
#include "sim/telemetry_line.h"

#include <algorithm>
#include <optional>

namespace {

constexpr double overflowChance = 0.05;

QByteArray line(const QByteArray &text)
{
    return text + '\r';
}

// An optional sign and at most six digits, so the value always fits an int.
std::optional<int> settingValue(QByteArrayView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

} // namespace

UnitModel::UnitModel(const EngineModel &engine, std::uint64_t seed, int revision,
                     UnitFaults faults)
    : engine(engine), random(seed), revision(revision), faults(std::move(faults))
{
}

QList<QByteArray> UnitModel::receive(QByteArrayView bytes)
{
    QList<QByteArray> replies;
    for (const QByteArray &command : framer.feed(bytes)) {
        // A silent or deaf unit still acts on what it hears.
        QByteArray reply = execute(command);
        if (reply.isEmpty() || faults.silent || faults.ignoredLetters.contains(command.front()))
            continue;
        replies.append(line(reply));
    }
    return replies;
}

void UnitModel::reboot()
{
    current = stored;
    streaming = false;
    manual = false;
    manualTrim = 0;
    framer = CommandFramer();
}

QByteArray UnitModel::telemetryLine()
{
    if (faults.silent)
        return {};
    TelemetryFields fields;
    fields.rpm = reportedRpm();
    fields.advanceSteps = advanceSteps();
    fields.dwell = engine.dwell();
    fields.sensor = engine.sensor();
    fields.busTenths = engine.busTenths();
    fields.temperature = engine.temperature();
    fields.health12 = engine.health12();
    fields.health34 = engine.health34();
    if (numbering) {
        fields.dwell = nextNumber >> 8;
        fields.sensor = nextNumber & 0xFF;
        ++nextNumber;
    }
    return formatTelemetryLine(fields);
}

QList<QByteArray> UnitModel::statusLines()
{
    if (faults.silent)
        return {};
    const int flags = (streaming ? 0x01 : 0) | (manual ? 0x02 : 0)
                      | (current != stored ? 0x04 : 0) | (engine.isFiring() ? 0x08 : 0);
    // This unit always has the advance shift.
    return {line('b' + hexDigits(flags, 2)), line("j01")};
}

int UnitModel::advanceSteps() const
{
    return manual ? manualTrim : automaticAdvance(engine.rpm(), current);
}

QByteArray UnitModel::execute(const QByteArray &command)
{
    if (command.isEmpty())
        return {};
    if (command.size() == 1 && command != "*" && command != "W")
        return query(command.front());
    if (command == "W") {
        stored = current;
        return "/W";
    }
    if (command == "I0" || command == "I1") {
        streaming = command == "I1";
        streamRequestCount += streaming;
        return '/' + command;
    }
    if (command.front() == 'S')
        return applyAdvanceMode(command);
    if (const SettingField *field = settingForCommand(command.front()))
        return applySetting(*field, command);
    return {};
}

QByteArray UnitModel::query(char letter)
{
    if (const SettingField *field = settingForQuery(letter))
        // A negative shift cannot be carried by the reply.
        return letter + hexDigits(std::max(0, current.*(field->member)), 2);
    switch (letter) {
    case 'u': return 'u' + hexDigits(revision, 2);
    case 'e': return 'e' + hexDigits(engine.temperature(), 2);
    case 'z': return 'z' + hexDigits(engine.maxTemperature(), 2);
    case 'w': return 'w' + hexDigits(engine.busTenths(), 2);
    case 'x': return 'x' + hexDigits(reportedRpm(), 4);
    case 'p':
        return recordedPropeller.isEmpty() ? 'p' + hexDigits(engine.propAngle(), 2)
                                           : recordedPropeller;
    default: return {};
    }
}

QByteArray UnitModel::applySetting(const SettingField &field, const QByteArray &command)
{
    const std::optional<int> value = settingValue(QByteArrayView(command).sliced(1));
    if (!value)
        return {};
    int &setting = current.*(field.member);
    setting = std::clamp(*value, field.low, field.high);
    manualTrim = std::min(manualTrim, current.maxAdvanceSteps);
    if (field.echoCommand)
        return '/' + command;
    return '/' + QByteArray(1, field.command) + QByteArray::number(setting);
}

QByteArray UnitModel::applyAdvanceMode(const QByteArray &command)
{
    if (command == "SA") {
        manual = false;
    } else if (command == "SM") {
        // Manual starts where automatic was, so the advance does not jump.
        if (!manual)
            manualTrim = std::min(advanceSteps(), current.maxAdvanceSteps);
        manual = true;
    } else if (command == "S+") {
        manualTrim = std::min(manualTrim + 1, current.maxAdvanceSteps);
    } else if (command == "S-") {
        manualTrim = std::max(manualTrim - 1, 0);
    } else {
        return {};
    }
    return '/' + command;
}

int UnitModel::reportedRpm()
{
    if (faults.overflow && std::bernoulli_distribution(overflowChance)(random))
        return std::uniform_int_distribution<int>(0x8000, 0xFFFF)(random);
    return engine.rpm();
}
