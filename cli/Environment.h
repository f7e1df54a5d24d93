// The few process facts the tool needs, the same on every system: environment variables and
// the path of its own program file.
#pragma once

#include <optional>
#include <string>

std::optional<std::string> GetEnv(const char* name);
// Sets `name`, or removes it when `value` is nullopt.
void SetEnv(const char* name, const std::optional<std::string>& value);

// The full path of the running program file, or an empty text when the system does not say.
std::string OwnProgramPath();
