#include "app/NumberBox.h"

CNumberBox::CNumberBox(QWidget* parent, double value, double min, double max)
    : QDoubleSpinBox(parent) {
    setDecimals(10);
    setRange(min, max);
    setValue(value);
}

QString CNumberBox::textFromValue(double value) const {
    QString text = locale().toString(value, 'f', decimals());
    text.remove(locale().groupSeparator());
    const QString point = locale().decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}
