// Tokens of the text .x format: names, numbers, strings, braces, GUIDs and the , ; separators, with
// // and # comments skipped. Every read is bounded by the input; malformed input gives Error or End.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace d3dx {

struct Token {
    enum Kind { End, Error, Name, Number, String, Open, Close, Guid, Separator, Bracket };
    Kind kind = End;
    std::string_view text;  // strings without their quotes
};

bool equalsIgnoringCase(std::string_view a, std::string_view b);

class Tokenizer {
public:
    Tokenizer(const char* data, size_t size) : p(data), end(data + size) {}

    Token next();
    Token peek();
    Token nextValue();  // the next token that is not a separator

    // A number member; separators before it are skipped.
    bool number(float& value);
    // A count or index member. With perItem > 0 the count must fit in what is left of the input at
    // perItem bytes per item, so that no file can make the reader reserve more than it could fill.
    bool count(uint32_t& value, size_t perItem);

    bool skipBody();       // after '{': up to and including the matching '}' (template [...] included)
    bool skipReference();  // after '{' of a { name } reference: up to its '}'

private:
    const char* p;
    const char* end;
};

}  // namespace d3dx
