// A small JSON writer: objects, arrays, strings, whole and decimal numbers, booleans. Texts
// are written as valid UTF-8 whatever bytes they hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TJsonWriter {
public:
    // pretty: one member per line, indented by two blanks; otherwise one line without blanks.
    explicit TJsonWriter(bool pretty) : pretty_(pretty) {}

    TJsonWriter& BeginObject();
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray();
    TJsonWriter& EndArray();
    // The name of the next member of the open object.
    TJsonWriter& Key(std::string_view name);

    TJsonWriter& String(std::string_view text);
    TJsonWriter& Int(int64_t value);
    TJsonWriter& Bool(bool value);
    TJsonWriter& Null();
    // A value given in tenths, written with one decimal: 253 -> 25.3.
    TJsonWriter& Tenths(int32_t tenths);

    // The document written so far.
    const std::string& Text() const { return text_; }

private:
    void BeforeValue();
    void NewLine();
    TJsonWriter& Close(char bracket);

    bool pretty_;
    std::string text_;
    // One entry per open object or array: whether it holds a member yet.
    std::vector<bool> hasMember_;
    bool afterKey_ = false;
};

// A text as a JSON string literal, quotes included.
std::string JsonQuoted(std::string_view text);
