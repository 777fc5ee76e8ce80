// SPDX-License-Identifier: GPL-3.0-or-later
#include "access/screen_reader_text.h"

#include <QAccessible>
#include <QWidget>

void nameForScreenReaders(QWidget &window, std::span<const SpokenName> names)
{
    for (const SpokenName &spoken : names) {
        const QLatin1String objectName(spoken.objectName);
        QWidget *control = window.objectName() == objectName
                               ? &window
                               : window.findChild<QWidget *>(objectName);
        Q_ASSERT_X(control, "nameForScreenReaders", spoken.objectName);
        if (!control)
            continue;
        control->setAccessibleName(QLatin1String(spoken.name));
        if (spoken.description)
            control->setAccessibleDescription(QLatin1String(spoken.description));
    }
}

void describeForScreenReaders(QWidget &control, const QString &description)
{
    // Qt tells assistive technology of the change itself.
    if (control.accessibleDescription() != description)
        control.setAccessibleDescription(description);
}

void announceToScreenReaders(QWidget &control, const QString &text)
{
    if (control.accessibleDescription() == text)
        return;
    describeForScreenReaders(control, text);
    if (text.isEmpty())
        return;
    QAccessibleEvent alert(&control, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Linux screen readers speak announcements; alerts reach them only on
    // other systems.
    QAccessibleAnnouncementEvent spoken(&control, text);
    spoken.setPoliteness(QAccessible::AnnouncementPoliteness::Assertive);
    QAccessible::updateAccessibility(&spoken);
#endif
}
