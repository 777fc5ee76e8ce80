#pragma once

#include "ui/control_tag.h"

#include <QLineEdit>
#include <QString>

// A text box of the form: a line edit whose Tag is a member (TagHolder).
class TextBox : public QLineEdit, public TagHolder {
    Q_OBJECT
    Q_PROPERTY(QString Tag MEMBER tag)
public:
    using QLineEdit::QLineEdit;
};
