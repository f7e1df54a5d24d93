// A whole file read into or written from one string, for tests that check files by content.
#pragma once

#include <string>

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
