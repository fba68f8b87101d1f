// The text .x tokenizer.
#include "d3dx/xtokens.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace d3dx {

namespace {
bool isNameStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool isNameChar(unsigned char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

Token Tokenizer::next() {
    for (;;) {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\f' || *p == '\v')) ++p;
        if (p >= end) return Token{Token::End, {}};
        if (*p == '#' || (*p == '/' && p + 1 < end && p[1] == '/')) {
            while (p < end && *p != '\n') ++p;
            continue;
        }
        break;
    }
    const char* start = p;
    char c = *p;
    switch (c) {
        case '{': ++p; return Token{Token::Open, {start, 1}};
        case '}': ++p; return Token{Token::Close, {start, 1}};
        case '[':
        case ']': ++p; return Token{Token::Bracket, {start, 1}};
        case ',':
        case ';': ++p; return Token{Token::Separator, {start, 1}};
        case '"': {
            ++p;
            while (p < end && *p != '"') ++p;
            if (p >= end) return Token{Token::Error, {}};
            ++p;
            return Token{Token::String, {start + 1, static_cast<size_t>(p - start - 2)}};
        }
        case '<': {
            while (p < end && *p != '>') ++p;
            if (p >= end) return Token{Token::Error, {}};
            ++p;
            return Token{Token::Guid, {start, static_cast<size_t>(p - start)}};
        }
        default: break;
    }
    if (isDigit(c) || c == '-' || c == '+' || c == '.') {
        if (c == '-' || c == '+') ++p;
        while (p < end && (isDigit(*p) || *p == '.')) ++p;
        if (p < end && *p == '#') {  // 1.#QNAN0, 1.#INF00, -1.#IND00 as older writers print them
            ++p;
            while (p < end && (isDigit(*p) || (*p >= 'A' && *p <= 'Z'))) ++p;
        } else if (p < end && (*p == 'e' || *p == 'E')) {
            ++p;
            if (p < end && (*p == '-' || *p == '+')) ++p;
            while (p < end && isDigit(*p)) ++p;
        }
        return Token{Token::Number, {start, static_cast<size_t>(p - start)}};
    }
    if (isNameStart(static_cast<unsigned char>(c))) {
        while (p < end && isNameChar(static_cast<unsigned char>(*p))) ++p;
        return Token{Token::Name, {start, static_cast<size_t>(p - start)}};
    }
    p = end;
    return Token{Token::Error, {}};
}

Token Tokenizer::peek() {
    const char* saved = p;
    Token t = next();
    p = saved;
    return t;
}

Token Tokenizer::nextValue() {
    Token t;
    do t = next();
    while (t.kind == Token::Separator);
    return t;
}

bool Tokenizer::number(float& value) {
    Token t = nextValue();
    if (t.kind != Token::Number) return false;
    std::string_view s = t.text;
    bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
    if (size_t hash = s.find('#'); hash != std::string_view::npos) {
        float special = s.find("INF", hash) != std::string_view::npos ? std::numeric_limits<float>::infinity()
                                                                      : std::numeric_limits<float>::quiet_NaN();
        value = negative ? -special : special;
        return true;
    }
    auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
    if (negative) value = -value;
    return true;
}

bool Tokenizer::count(uint32_t& value, size_t perItem) {
    Token t = nextValue();
    if (t.kind != Token::Number) return false;
    auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), value);
    if (r.ec != std::errc() || r.ptr != t.text.data() + t.text.size()) return false;
    if (perItem > 0 && static_cast<uint64_t>(value) * perItem > static_cast<uint64_t>(end - p) + perItem) return false;
    return true;
}

bool Tokenizer::skipBody() {
    int depth = 1;
    for (;;) {
        Token t = next();
        if (t.kind == Token::End || t.kind == Token::Error) return false;
        if (t.kind == Token::Open) ++depth;
        if (t.kind == Token::Close && --depth == 0) return true;
    }
}

bool Tokenizer::skipReference() {
    for (;;) {
        Token t = next();
        if (t.kind == Token::Close) return true;
        if (t.kind != Token::Name && t.kind != Token::Guid) return false;
    }
}

}  // namespace d3dx
