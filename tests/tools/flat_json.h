#pragma once

// Just enough JSON for the planner's output: one flat object whose values are strings, numbers,
// true, false or null. Anything else fails the test that reads it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace max2870::test {

struct JsonValue {
    enum class Kind { String, Number, True, False, Null } kind = Kind::Null;
    std::string text;  // a string's value, or a number as written
    double number = 0; // a number's value
};

class FlatJson {
public:
    explicit FlatJson(const std::string& text) : text_(text) { Parse(); }

    bool ok() const { return ok_; }
    const std::map<std::string, JsonValue>& Values() const { return values_; }
    bool Has(const std::string& key) const { return values_.contains(key); }

    const JsonValue& At(const std::string& key) const {
        static const JsonValue missing{JsonValue::Kind::Null, "<missing>", 0};
        const auto it = values_.find(key);
        if (it == values_.end()) {
            ADD_FAILURE() << "no key " << key;
            return missing;
        }
        return it->second;
    }

    std::string String(const std::string& key) const {
        const JsonValue& v = At(key);
        EXPECT_EQ(v.kind, JsonValue::Kind::String) << key;
        return v.text;
    }

    double Number(const std::string& key) const {
        const JsonValue& v = At(key);
        EXPECT_EQ(v.kind, JsonValue::Kind::Number) << key;
        return v.number;
    }

    bool Bool(const std::string& key) const {
        const JsonValue& v = At(key);
        EXPECT_TRUE(v.kind == JsonValue::Kind::True || v.kind == JsonValue::Kind::False) << key;
        return v.kind == JsonValue::Kind::True;
    }

    bool IsNull(const std::string& key) const { return At(key).kind == JsonValue::Kind::Null; }

private:
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

    bool ParseString(std::string& out) {
        if (!Take('"')) {
            return false;
        }
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (static_cast<unsigned char>(c) < 0x20) {
                return false; // control characters must be escaped
            }
            if (c == '\\') {
                if (pos_ >= text_.size()) {
                    return false;
                }
                const char e = text_[pos_++];
                switch (e) {
                case '"':
                case '\\':
                case '/':
                    c = e;
                    break;
                case 'r':
                    c = '\r';
                    break;
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'u': {
                    if (pos_ + 4 > text_.size()) {
                        return false;
                    }
                    const long code = std::strtol(text_.substr(pos_, 4).c_str(), nullptr, 16);
                    if (code >= 0x80) {
                        return false; // the planner writes no such text
                    }
                    c = static_cast<char>(code);
                    pos_ += 4;
                    break;
                }
                default:
                    return false;
                }
            }
            out += c;
        }
        return Take('"');
    }

    bool ParseValue(JsonValue& v) {
        SkipBlanks();
        if (pos_ >= text_.size()) {
            return false;
        }
        if (text_[pos_] == '"') {
            v.kind = JsonValue::Kind::String;
            return ParseString(v.text);
        }
        for (const auto& [word, kind] :
             {std::pair{"true", JsonValue::Kind::True}, std::pair{"false", JsonValue::Kind::False},
              std::pair{"null", JsonValue::Kind::Null}}) {
            if (text_.compare(pos_, std::char_traits<char>::length(word), word) == 0) {
                pos_ += std::char_traits<char>::length(word);
                v.kind = kind;
                return true;
            }
        }
        const char* start = text_.c_str() + pos_;
        char* end = nullptr;
        v.number = std::strtod(start, &end);
        if (end == start) {
            return false;
        }
        v.kind = JsonValue::Kind::Number;
        v.text.assign(start, static_cast<std::size_t>(end - start));
        pos_ += static_cast<std::size_t>(end - start);
        return true;
    }

    void Parse() {
        if (!Take('{')) {
            return;
        }
        if (Take('}')) {
            ok_ = true;
            return;
        }
        do {
            std::string key;
            JsonValue value;
            if (!ParseString(key) || !Take(':') || !ParseValue(value)) {
                return;
            }
            if (!values_.emplace(key, value).second) {
                return; // a key given twice
            }
        } while (Take(','));
        ok_ = Take('}');
        SkipBlanks();
        ok_ = ok_ && pos_ == text_.size();
    }

    std::string text_;
    std::size_t pos_ = 0;
    bool ok_ = false;
    std::map<std::string, JsonValue> values_;
};

} // namespace max2870::test
