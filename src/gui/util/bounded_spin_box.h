#pragma once

#include <QSpinBox>

// A number field that shows what was typed even when it lies outside the
// allowed range, so that the window can refuse it with a message instead of
// silently putting back the previous value. The arrows stay inside the range.
class TBoundedSpinBox : public QSpinBox {
    Q_OBJECT
public:
    TBoundedSpinBox(int low, int high, QWidget* parent = nullptr);

    int Low() const { return fLow; }
    int High() const { return fHigh; }
    // The typed text is a whole number within the allowed range.
    bool InRange() const;

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int fLow;
    int fHigh;
};
