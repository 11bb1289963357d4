#pragma once

// Whether an entry name can be stored so that common readers restore it as
// the same name, and how a name of any bytes is shown in a message.

#include <string>

namespace archive {

bool IsValidUtf8(const std::string& bytes);

// Empty when the stored name is fine, else why it cannot be stored: a name
// that is not valid UTF-8 would come back from readers as another name.
std::string StoredNameProblem(const std::string& storedName);

// The name for messages: valid UTF-8 as it is, any other byte and every
// control character as \xNN, so a message names exactly one file.
std::string ShownName(const std::string& bytes);

} // namespace archive
