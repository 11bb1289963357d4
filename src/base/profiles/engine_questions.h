#pragma once

#include <QString>

// A yes/no question the engine puts before it goes on, with the answer that
// holds when nobody is there to give one.
struct TEngineQuestion {
    QString Title;
    QString Text;
    bool UnattendedAnswer = false;
};

// Whoever answers the engine's questions: a window asks the user; main thread only.
class IEngineQuestions {
public:
    virtual ~IEngineQuestions() = default;
    virtual bool AskYesNo(const TEngineQuestion& question) = 0;
};

// The answers of a run without a window (the command-line tool, the tests):
// every question gets its unattended answer, nothing waits for input.
class TUnattendedAnswers final : public IEngineQuestions {
public:
    bool AskYesNo(const TEngineQuestion& question) override { return question.UnattendedAnswer; }
};
