#pragma once

#include <QLineEdit>
#include <QString>

// A text box of the form: a line edit whose Tag is a declared property.
// The poll cycle reads its text boxes' Tags on every tick and telemetry
// clears one with every line; a declared property is found at once, where a
// dynamic one is only found after every property of QLineEdit and QWidget.
class TextBox : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString Tag MEMBER tag)
public:
    using QLineEdit::QLineEdit;

private:
    QString tag;
};
