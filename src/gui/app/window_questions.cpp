#include "gui/app/window_questions.h"

#include "gui/ui/standard_dialogs.h"

bool TWindowQuestions::AskYesNo(const TEngineQuestion& question) {
    return MessageQuestion(question.Title, question.Text, mqYesNo, fParent.data()) == mrYes;
}
