// A strict recursive-descent JSON parser (RFC 8259), enough for the tool's documents.
#include "JsonReader.h"

#include <cstdlib>
#include <stdexcept>

class TJsonParser {
public:
    explicit TJsonParser(std::string_view text) : text_(text) {}

    TJsonValue Document() {
        TJsonValue value = Value();
        SkipBlanks();
        if (pos_ != text_.size()) {
            Fail("text after the document");
        }
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(pos_));
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\t')) {
            ++pos_;
        }
    }

    bool Take(char c) {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void Expect(char c) {
        if (!Take(c)) {
            Fail(std::string("'") + c + "' expected");
        }
    }

    bool TakeWord(std::string_view word) {
        if (text_.substr(pos_, word.size()) == word) {
            pos_ += word.size();
            return true;
        }
        return false;
    }

    TJsonValue Value() {
        SkipBlanks();
        if (pos_ >= text_.size()) {
            Fail("value expected");
        }
        TJsonValue v;
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            v.kind_ = TJsonValue::Kind::Object;
            if (!Take('}')) {
                do {
                    SkipBlanks();
                    std::string key = StringBody();
                    Expect(':');
                    v.members_.emplace_back(std::move(key), Value());
                } while (Take(','));
                Expect('}');
            }
        } else if (c == '[') {
            ++pos_;
            v.kind_ = TJsonValue::Kind::Array;
            if (!Take(']')) {
                do {
                    v.items_.push_back(Value());
                } while (Take(','));
                Expect(']');
            }
        } else if (c == '"') {
            v.kind_ = TJsonValue::Kind::String;
            v.string_ = StringBody();
        } else if (TakeWord("true")) {
            v.kind_ = TJsonValue::Kind::Bool;
            v.bool_ = true;
        } else if (TakeWord("false")) {
            v.kind_ = TJsonValue::Kind::Bool;
        } else if (TakeWord("null")) {
            v.kind_ = TJsonValue::Kind::Null;
        } else {
            NumberBody(v);
        }
        return v;
    }

    void NumberBody(TJsonValue& v) {
        const size_t start = pos_;
        const auto digits = [&] {
            const size_t from = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
                ++pos_;
            }
            return pos_ - from;
        };
        if (pos_ < text_.size() && text_[pos_] == '-') {
            ++pos_;
        }
        const size_t intStart = pos_;
        if (digits() == 0 || (text_[intStart] == '0' && pos_ - intStart > 1)) {
            Fail("malformed number");
        }
        v.whole_ = true;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            v.whole_ = false;
            if (digits() == 0) {
                Fail("malformed fraction");
            }
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            v.whole_ = false;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
                ++pos_;
            }
            if (digits() == 0) {
                Fail("malformed exponent");
            }
        }
        v.kind_ = TJsonValue::Kind::Number;
        v.number_ = std::strtod(std::string(text_.substr(start, pos_ - start)).c_str(), nullptr);
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    unsigned Hex4() {
        if (pos_ + 4 > text_.size()) {
            Fail("short \\u escape");
        }
        const std::string hex(text_.substr(pos_, 4));
        char* end = nullptr;
        const unsigned long code = std::strtoul(hex.c_str(), &end, 16);
        if (end != hex.c_str() + 4) {
            Fail("bad \\u escape");
        }
        pos_ += 4;
        return static_cast<unsigned>(code);
    }

    std::string StringBody() {
        if (pos_ >= text_.size() || text_[pos_] != '"') {
            Fail("string expected");
        }
        ++pos_;
        std::string out;
        while (true) {
            if (pos_ >= text_.size()) {
                Fail("unterminated string");
            }
            const char c = text_[pos_++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                Fail("unterminated escape");
            }
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = Hex4();
                    if (code >= 0xD800 && code < 0xDC00 && TakeWord("\\u")) {
                        code = 0x10000 + ((code - 0xD800) << 10) + (Hex4() - 0xDC00);
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    Fail("unknown escape");
            }
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
};

namespace {
[[noreturn]] void WrongKind(const char* wanted) {
    throw std::runtime_error(std::string("JSON value is not ") + wanted);
}
}  // namespace

double TJsonValue::Number() const {
    if (kind_ != Kind::Number) {
        WrongKind("a number");
    }
    return number_;
}

long long TJsonValue::Int() const {
    if (kind_ != Kind::Number || !whole_) {
        WrongKind("a whole number");
    }
    return static_cast<long long>(number_);
}

bool TJsonValue::Bool() const {
    if (kind_ != Kind::Bool) {
        WrongKind("a boolean");
    }
    return bool_;
}

const std::string& TJsonValue::String() const {
    if (kind_ != Kind::String) {
        WrongKind("a string");
    }
    return string_;
}

const std::vector<TJsonValue>& TJsonValue::Array() const {
    if (kind_ != Kind::Array) {
        WrongKind("an array");
    }
    return items_;
}

const TJsonValue& TJsonValue::operator[](const std::string& key) const {
    if (kind_ != Kind::Object) {
        WrongKind("an object");
    }
    for (const auto& [name, value] : members_) {
        if (name == key) {
            return value;
        }
    }
    throw std::runtime_error("JSON object has no member \"" + key + "\"");
}

const TJsonValue& TJsonValue::operator[](size_t index) const {
    const std::vector<TJsonValue>& items = Array();
    if (index >= items.size()) {
        throw std::runtime_error("JSON array has no item " + std::to_string(index));
    }
    return items[index];
}

bool TJsonValue::Has(const std::string& key) const {
    if (kind_ != Kind::Object) {
        return false;
    }
    for (const auto& member : members_) {
        if (member.first == key) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> TJsonValue::Keys() const {
    std::vector<std::string> keys;
    for (const auto& member : members_) {
        keys.push_back(member.first);
    }
    return keys;
}

TJsonValue TJsonValue::Parse(std::string_view text) {
    return TJsonParser(text).Document();
}
