// The settings file held in memory: ordered sections of ordered lines, read whole when it is
// opened and written back whole (atomically) by UpdateFile.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Section names and keys are compared without regard to ASCII letter case; the first match
// wins (a file may repeat a section name; lookups and writes use the first one).
//
// Loading, line by line (lines end with CR LF, LF or CR; a UTF-8 byte order mark at the very
// start is skipped):
//  1. blanks and control characters (bytes up to 0x20) are removed from both ends;
//  2. empty lines and lines beginning with ";" are dropped;
//  3. "[name]" starts a new section named by the trimmed text between the brackets;
//  4. inside a section, a line with "=" is kept as trimmed key, "=", trimmed value; a line
//     without "=" is kept unchanged (written back, never matches a key). Lines before the first
//     section are dropped.
// The largest settings file that is read or written. A real one holds a few kilobytes (some 400
// bytes per preset); anything larger is refused before it is read, instead of costing several
// times its size in memory, and the program never writes a file it would refuse to read.
inline constexpr uint64_t kMaxSettingsFileSize = uint64_t{16} << 20;

class TIniFile {
public:
    // An empty settings object that is not tied to a file (UpdateFile then needs SetFileName).
    TIniFile() = default;
    // Opens `fileName`: reads it whole when it exists, else starts empty. Throws EFOpenError
    // ("Cannot open file %s") when the file exists but cannot be read, and EFTooLargeError when
    // it is larger than kMaxSettingsFileSize (nothing of it is read then).
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

    // Replaces the whole contents with the sections parsed from `text` (rules above).
    void LoadFromText(std::string_view text);
    // The contents in file form: for each section "[name]", its lines, one empty line; CR LF
    // after every line.
    std::string ToText() const;

    // The value of `key` in `section`, or `defaultValue` when either does not exist.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Replaces the line of an existing key in place (as key=value, with the key as given here);
    // otherwise appends key=value to the section, creating the section at the end of the file.
    // CR and LF inside the key or value are written as blanks, so a value can never break the
    // file into lines of its own; blanks at either end of the value do not survive a reload.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Reads an integer leniently: "0x"/"0X"/"$" then hexadecimal digits, else decimal, optional
    // sign first; any other text (or a number out of 32-bit range) gives `defaultValue`.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    // Writes a decimal integer, with "-" when negative.
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // A byte block stored as hexadecimal text (HexToBytes rules); nullopt when the key does not
    // exist. An existing but empty value gives an empty block.
    std::optional<std::vector<uint8_t>> ReadBinaryHex(std::string_view section,
                                                      std::string_view key) const;
    // Stores a byte block as upper-case hexadecimal text, two digits per byte.
    void WriteBinaryHex(std::string_view section, std::string_view key,
                        std::span<const uint8_t> bytes);

    // Writes the whole object to FileName() atomically: a temporary file in the same folder is
    // written, flushed to disk and renamed over the file, so the old file stays whole until the
    // new one is complete. The temporary files of writers killed in the middle of a write are
    // removed first (on a full disk they would otherwise take the room the new file needs). An
    // existing file this process may not write (ReplaceFileWhole) is not replaced, and neither
    // is any file by a text larger than kMaxSettingsFileSize. On any failure the temporary file
    // is removed, the old file is left as it was, and EFCreateError ("Cannot create file %s")
    // is thrown.
    void UpdateFile() const;

    // Inspection, in file order (for tests and tools).
    std::vector<std::string> SectionNames() const;
    // The stored lines of the first section called `section` (empty when it does not exist).
    std::vector<std::string> SectionLines(std::string_view section) const;

private:
    struct Section {
        std::string name;
        std::vector<std::string> lines;
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    static const std::string* FindLine(const Section& section, std::string_view key);

    std::string fileName_;
    std::vector<Section> sections_;
};

// Parses a whole text as a 32-bit integer: optional "+"/"-", then "0x", "0X" or "$" and up to
// eight hexadecimal digits (taken as a 32-bit pattern: "$FFFFFFFF" is -1), or decimal digits
// within the 32-bit signed range. With `allowX` a single "x"/"X" also introduces hexadecimal.
// nullopt for anything else, including an empty text and trailing characters.
std::optional<int32_t> ParseInteger(std::string_view text, bool allowX = false);
