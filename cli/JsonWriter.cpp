// JSON text: escapes as the format requires, invalid UTF-8 replaced so every reader accepts it.
#include "JsonWriter.h"

#include <cstdio>

#include "ChannelUnits.h"
#include "TextEncoding.h"

std::string JsonQuoted(std::string_view text) {
    const std::string valid = SanitizeUtf8(text);
    std::string out = "\"";
    for (const char c : valid) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void TJsonWriter::NewLine() {
    if (pretty_) {
        text_ += '\n';
        text_.append(2 * hasMember_.size(), ' ');
    }
}

void TJsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMember_.empty()) {
        if (hasMember_.back()) {
            text_ += ",";
        }
        hasMember_.back() = true;
        NewLine();
    }
}

TJsonWriter& TJsonWriter::BeginObject() {
    BeforeValue();
    text_ += "{";
    hasMember_.push_back(false);
    return *this;
}

TJsonWriter& TJsonWriter::Close(char bracket) {
    const bool had = hasMember_.back();
    hasMember_.pop_back();
    if (had) {
        NewLine();
    }
    text_ += bracket;
    return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
    return Close('}');
}

TJsonWriter& TJsonWriter::BeginArray() {
    BeforeValue();
    text_ += "[";
    hasMember_.push_back(false);
    return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
    return Close(']');
}

TJsonWriter& TJsonWriter::Key(std::string_view name) {
    BeforeValue();
    text_ += JsonQuoted(name) + (pretty_ ? ": " : ":");
    afterKey_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view text) {
    BeforeValue();
    text_ += JsonQuoted(text);
    return *this;
}

TJsonWriter& TJsonWriter::Int(int64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

TJsonWriter& TJsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

TJsonWriter& TJsonWriter::Tenths(int32_t tenths) {
    BeforeValue();
    text_ += TenthsText(tenths);
    return *this;
}
