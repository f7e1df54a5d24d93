// Whole-file replacement that never leaves a half-written file behind: the new text goes into a
// temporary file beside the target, is flushed to disk and then renamed over the target.
#pragma once

#include <string>

// Writes `text` to "<target>.tmp<process id>-<n>", flushes it and renames it over `target`
// (keeping the permissions of the file it replaces). True on success. An existing `target` that
// CanReplaceFile refuses is left alone (false). On failure the temporary file is removed and
// `target` is as it was.
bool ReplaceFileWhole(const std::string& target, const std::string& text);

// Whether this process may replace `target` as a whole: its folder takes new files and, when the
// file exists, this process may write the file itself. A file that nobody may write (no write
// permission bit at all, mode 0444) counts as read-only even for the superuser: someone made it
// so on purpose. In a folder with the sticky bit only the owner of the file or of the folder may
// replace it.
bool CanReplaceFile(const std::string& target);

// The file a path names: the end of its chain of symbolic links, or the path itself.
std::string FileBehindLinks(const std::string& path);

// Removes the temporary files of `target` that writers killed in the middle of a write left
// behind: "<target>.tmp<pid>-<n>" whose process no longer runs. Files of running processes
// (another copy of the program writing right now) and every other file are left alone.
void RemoveStaleTempFiles(const std::string& target);
