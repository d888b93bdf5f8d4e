#pragma once
// A spin box for a real value that shows it as it is, without trailing zeros ("3", "0.25").

#include <QDoubleSpinBox>

class CNumberBox : public QDoubleSpinBox {
public:
    CNumberBox(QWidget* parent, double value, double min, double max);
    QString textFromValue(double value) const override;
};
