// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/overlay_controls.h"

#include "viewer/viewer_look.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QPushButton *button(const QString &text, const char *objectName, const QString &accessible,
                    QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(objectName));
    b->setAccessibleName(accessible);
    return b;
}

} // namespace

OverlayControls::OverlayControls(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("overlayControls"));
    addButton = button(QStringLiteral("Add recording..."), "addRecordingButton",
                       QStringLiteral("Overlay a second recording"), this);
    addButton->setToolTip(QStringLiteral("Draw a second recording on the same strips"));
    alignmentBox = new QComboBox(this);
    alignmentBox->setObjectName(QStringLiteral("overlayAlignment"));
    alignmentBox->setAccessibleName(QStringLiteral("Align the second recording"));
    alignmentBox->addItem(QStringLiteral("Align by clock time"), int(OverlayAlignment::ClockTime));
    alignmentBox->addItem(QStringLiteral("Align by engine start"),
                          int(OverlayAlignment::EngineStart));
    alignmentBox->setToolTip(QStringLiteral(
        "Clock time: two units recorded at once. Engine start: two runs compared."));
    removeButton = button(QStringLiteral("Remove second"), "removeOverlayButton",
                          QStringLiteral("Remove the second recording"), this);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(addButton);
    row->addWidget(alignmentBox);
    row->addWidget(removeButton);

    connect(addButton, &QPushButton::clicked, this, &OverlayControls::addRequested);
    connect(removeButton, &QPushButton::clicked, this, &OverlayControls::removeRequested);
    connect(alignmentBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        emit alignmentChosen(OverlayAlignment(alignmentBox->itemData(index).toInt()));
    });
    setOverlayShown(false);
}

void OverlayControls::setOverlayShown(bool shown, OverlayAlignment alignment)
{
    const QSignalBlocker quiet(alignmentBox);
    alignmentBox->setCurrentIndex(alignmentBox->findData(int(alignment)));
    alignmentBox->setEnabled(shown);
    removeButton->setEnabled(shown);
}
