// Whole-file replacement that never leaves a half-written file behind: the new text goes into a
// temporary file beside the target, is flushed to disk and then renamed over the target.
#pragma once

#include <string>

// Writes `text` to "<target>.tmp<process id>-<n>", flushes it and renames it over `target`
// (keeping the permissions of the file it replaces). True on success. On failure the temporary
// file is removed and `target` is as it was.
bool ReplaceFileWhole(const std::string& target, const std::string& text);

// Removes the temporary files of `target` that writers killed in the middle of a write left
// behind: "<target>.tmp<pid>-<n>" whose process no longer runs. Files of running processes
// (another copy of the program writing right now) and every other file are left alone.
void RemoveStaleTempFiles(const std::string& target);
