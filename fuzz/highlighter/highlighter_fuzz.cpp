// highlighter_fuzz.cpp: libFuzzer target for the VBScript highlighter's
// scanner. The input is one line (scanned up to its first 0 byte, as the
// scanner reads it). The tokens must tile the line exactly, each non-empty and
// of a kind the scanner produces, the scan must end at the line's end within
// one step per character, and the range in force must not change the tokens.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "highlight/jaVBSSyn.h"

namespace {

[[noreturn]] void Die(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

struct TToken {
    int pos;
    int kind;
    std::string text;
    bool operator==(const TToken &) const = default;
};

std::vector<TToken> Scan(TjaVbsSyn &syn, const std::string &line, int range)
{
    const int length = int(std::strlen(line.c_str()));
    std::vector<TToken> tokens;
    syn.SetRange(range);
    syn.SetLine(line, 0);
    int end = 0;
    while (!syn.GetEol()) {
        if (int(tokens.size()) > length)
            Die("the scan does not end");
        TToken token{syn.GetTokenPos(), syn.GetTokenKind(), syn.GetToken()};
        if (token.pos != end)
            Die("a token does not start where the previous one ended");
        if (token.text.empty())
            Die("an empty token before the line end");
        if (token.kind == tkNull || token.kind >= tkUnknown)
            Die("a token of a kind the scanner never produces");
        if (token.pos + int(token.text.size()) > length || line.compare(size_t(token.pos), token.text.size(), token.text) != 0)
            Die("the token text is not the line's text at its position");
        end = token.pos + int(token.text.size());
        tokens.push_back(std::move(token));
        syn.Next();
    }
    if (end != length || syn.GetTokenPos() != length)
        Die("the tokens do not cover the line");
    if (syn.GetRange() != (range & 0xFF))
        Die("the scanner changed the range within one line");
    return tokens;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static TjaVbsSyn syn;
    const std::string line(reinterpret_cast<const char *>(data), size);
    const std::vector<TToken> tokens = Scan(syn, line, 1);
    if (Scan(syn, line, 0) != tokens)
        Die("the range in force changed the tokens");
    return 0;
}
