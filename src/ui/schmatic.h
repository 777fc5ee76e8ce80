#pragma once

#include <QWidget>

class QLabel;

// The window that shows how to wire the serial cable. It frees itself when
// closed, so callers may open it with a bare `new`.
class Schmatic : public QWidget {
    Q_OBJECT
public:
    explicit Schmatic(QWidget *parent = nullptr);

    QLabel *Picture1;
};
