// The in-memory settings file: parsing, lookup, writing and the atomic write to disk.
#include "IniFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <utility>

#include "AtomicFile.h"
#include "Exceptions.h"
#include "HexText.h"

namespace fs = std::filesystem;

namespace {

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsTrimmed(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsTrimmed(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Line breaks inside a key or value would split it into lines of their own on the next load.
std::string OneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view text, bool allowX) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool hex = false;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        text.remove_prefix(2);
    } else if (!text.empty() &&
               (text[0] == '$' || (allowX && (text[0] == 'x' || text[0] == 'X')))) {
        hex = true;
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    uint64_t magnitude = 0;
    for (const char c : text) {
        const int digit = hex ? HexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    if (hex) {
        // Hexadecimal is a 32-bit pattern: $FFFFFFFF is -1.
        const uint32_t bits = static_cast<uint32_t>(magnitude);
        return static_cast<int32_t>(negative ? 0u - bits : bits);
    }
    const int64_t signedValue =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (signedValue < std::numeric_limits<int32_t>::min() ||
        signedValue > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(signedValue);
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::error_code ec;
    const auto status = fs::status(fileName_, ec);
    if (ec || !fs::exists(status)) {
        return;  // a missing file: start empty, it is created when written
    }
    if (fs::is_directory(status)) {
        throw EFOpenError(fileName_);
    }
    // Refused before anything is read; the size is checked again while reading, in case the
    // file grows in between.
    const uintmax_t size = fs::file_size(fileName_, ec);
    if (!ec && size > kMaxSettingsFileSize) {
        throw EFTooLargeError(fileName_, size);
    }
    std::ifstream in(fileName_, std::ios::binary);
    if (!in) {
        throw EFOpenError(fileName_);
    }
    std::string content;
    content.reserve(ec ? 0 : static_cast<size_t>(size));
    std::vector<char> chunk(1 << 16);
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        content.append(chunk.data(), static_cast<size_t>(in.gcount()));
        if (content.size() > kMaxSettingsFileSize) {
            throw EFTooLargeError(fileName_, content.size());
        }
    }
    if (in.bad()) {
        throw EFOpenError(fileName_);
    }
    LoadFromText(content);
}

void TIniFile::LoadFromText(std::string_view text) {
    sections_.clear();
    // Editors may put a UTF-8 byte order mark in front; it would hide the first section.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r') {
            ++pos;
            if (pos < text.size() && text[pos] == '\n') {
                ++pos;
            }
        } else if (pos < text.size()) {
            ++pos;  // '\n'
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections_.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        if (sections_.empty()) {
            continue;  // lines before the first section are dropped
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            sections_.back().lines.emplace_back(line);
        } else {
            std::string stored(Trim(line.substr(0, eq)));
            stored.push_back('=');
            stored.append(Trim(line.substr(eq + 1)));
            sections_.back().lines.push_back(std::move(stored));
        }
    }
}

std::string TIniFile::ToText() const {
    std::string out;
    for (const Section& section : sections_) {
        out += '[';
        out += section.name;
        out += "]\r\n";
        for (const std::string& line : section.lines) {
            out += line;
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
    for (const Section& section : sections_) {
        if (SameText(section.name, name)) {
            return &section;
        }
    }
    return nullptr;
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const std::string* TIniFile::FindLine(const Section& section, std::string_view key) {
    for (const std::string& line : section.lines) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), key)) {
            return &line;
        }
    }
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const Section* found = FindSection(section);
    const std::string* line = found ? FindLine(*found, key) : nullptr;
    if (line == nullptr) {
        return std::string(defaultValue);
    }
    return line->substr(line->find('=') + 1);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = OneLine(key);
    line += '=';
    line += OneLine(value);
    Section* found = FindSection(section);
    if (found == nullptr) {
        sections_.push_back({OneLine(section), {}});
        found = &sections_.back();
    }
    if (const std::string* existing = FindLine(*found, key)) {
        *const_cast<std::string*>(existing) = std::move(line);
    } else {
        found->lines.push_back(std::move(line));
    }
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
    const Section* found = FindSection(section);
    const std::string* line = found ? FindLine(*found, key) : nullptr;
    if (line == nullptr) {
        return defaultValue;
    }
    return ParseInteger(std::string_view(*line).substr(line->find('=') + 1)).value_or(defaultValue);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    return found != nullptr && FindLine(*found, key) != nullptr;
}

std::optional<std::vector<uint8_t>> TIniFile::ReadBinaryHex(std::string_view section,
                                                            std::string_view key) const {
    if (!ValueExists(section, key)) {
        return std::nullopt;
    }
    return HexToBytes(ReadString(section, key, ""));
}

void TIniFile::WriteBinaryHex(std::string_view section, std::string_view key,
                              std::span<const uint8_t> bytes) {
    WriteString(section, key, BytesToHex(bytes));
}

std::vector<std::string> TIniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& section : sections_) {
        names.push_back(section.name);
    }
    return names;
}

std::vector<std::string> TIniFile::SectionLines(std::string_view section) const {
    const Section* found = FindSection(section);
    return found ? found->lines : std::vector<std::string>{};
}

void TIniFile::UpdateFile() const {
    if (fileName_.empty()) {
        throw EFCreateError(fileName_);
    }
    // Write through a symbolic link to the file it names rather than replacing the link.
    const std::string target = FileBehindLinks(fileName_);
    RemoveStaleTempFiles(target);
    const std::string text = ToText();
    if (text.size() > kMaxSettingsFileSize || !ReplaceFileWhole(target, text)) {
        throw EFCreateError(fileName_);
    }
}
