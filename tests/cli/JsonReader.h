// A small JSON reader for the tests: the tool's documents are parsed back and checked member by
// member, never compared as text.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TJsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind GetKind() const { return kind_; }
    bool IsNumber() const { return kind_ == Kind::Number; }

    // Each throws std::runtime_error when the value is of another kind or the member is absent.
    double Number() const;
    long long Int() const;  // a number that must be whole
    bool Bool() const;
    const std::string& String() const;
    const std::vector<TJsonValue>& Array() const;
    const TJsonValue& operator[](const std::string& key) const;
    const TJsonValue& operator[](size_t index) const;
    bool Has(const std::string& key) const;
    // Member names in document order.
    std::vector<std::string> Keys() const;

    // Parses a whole document (blanks around it allowed); throws std::runtime_error saying where
    // it is malformed.
    static TJsonValue Parse(std::string_view text);

private:
    friend class TJsonParser;
    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0;
    bool whole_ = false;
    std::string string_;
    std::vector<TJsonValue> items_;
    std::vector<std::pair<std::string, TJsonValue>> members_;
};
