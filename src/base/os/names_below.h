#pragma once

// The walk over the names of a relative path that MakeFoldersBelow makes one
// folder at a time; the platform call that makes and enters each folder is
// the caller's.

#include <functional>
#include <string>
#include <string_view>

namespace os {

// Calls step with each name of below, split at any of separators, from the
// top down; empty names and "." are passed over. False at once for ".." (it
// would climb out of the root) or when step returns false; true when every
// name was stepped into.
bool StepThroughNamesBelow(std::string_view below, std::string_view separators,
                           const std::function<bool(const std::string& name)>& step);

} // namespace os
