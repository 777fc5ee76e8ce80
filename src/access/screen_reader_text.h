// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <span>

class QWidget;

// What a screen reader speaks for a control: its name, then its description.
// The objectName stays the identifier tools find a control by.
struct SpokenName {
    const char *objectName;
    const char *name;
    // nullptr: none of its own (a tooltip, if any, is read instead).
    const char *description = nullptr;
};

// Names each control of `window` listed by objectName, the window included.
void nameForScreenReaders(QWidget &window, std::span<const SpokenName> names);

// The two below do nothing when the text is what the control already says,
// so a caller may pass the same text as often as its data arrives.

// A reading that changes now and then (a gauge's figures, a read-out box).
void describeForScreenReaders(QWidget &control, const QString &description);
// Text the user must hear at once (a wiring hint, an alarm): described, and
// raised as an alert.
void announceToScreenReaders(QWidget &control, const QString &text);
