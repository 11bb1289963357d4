#pragma once

#include "profiles/engine_questions.h"

#include <QPointer>
#include <QWidget>

// The engine's questions asked of the person at the main window.
class TWindowQuestions final : public IEngineQuestions {
public:
    explicit TWindowQuestions(QWidget* parent) : fParent(parent) {}
    bool AskYesNo(const TEngineQuestion& question) override;

private:
    QPointer<QWidget> fParent;
};
