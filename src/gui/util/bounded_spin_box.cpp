#include "gui/util/bounded_spin_box.h"

#include <QLineEdit>

namespace {
constexpr int kTypedLimit = 999999;
}

TBoundedSpinBox::TBoundedSpinBox(int low, int high, QWidget* parent) : QSpinBox(parent), fLow(low), fHigh(high) {
    setRange(0, kTypedLimit);
    setValue(low);
}

bool TBoundedSpinBox::InRange() const {
    bool ok = false;
    const int typed = cleanText().trimmed().toInt(&ok);
    return ok && typed >= fLow && typed <= fHigh;
}

void TBoundedSpinBox::stepBy(int steps) {
    setValue(qBound(fLow, value() + steps, fHigh));
    selectAll();
}

QAbstractSpinBox::StepEnabled TBoundedSpinBox::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < fHigh)
        enabled |= StepUpEnabled;
    if (value() > fLow)
        enabled |= StepDownEnabled;
    return enabled;
}
