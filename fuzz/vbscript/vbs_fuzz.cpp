// vbs_fuzz.cpp: libFuzzer target for Engine::AddCode. Any input gives a clean
// result: an accepted text, or one error whose number has a description and
// whose line, column and text lie inside the input; a second engine gives the
// same result, and a failed text adds nothing to an engine.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vbscript/VbsEngine.h"
#include "vbscript/VbsErrors.h"

namespace {

[[noreturn]] void Die(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

int CountLines(std::string_view text)
{
    int lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        if (text[i] == '\r' || text[i] == '\n')
            ++lines;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    vbs::Engine engine;
    const bool ok = engine.AddCode(text);
    if (ok != !engine.Error().has_value())
        Die("result and error object disagree");
    vbs::Engine again;
    if (again.AddCode(text) != ok)
        Die("two engines disagree");
    if (ok) {
        // Adding the same text again must now fail on its first global name or
        // succeed when it declares none but procedures; either way it must not crash.
        engine.AddCode(text);
        return 0;
    }
    const vbs::CompileError &error = *engine.Error();
    if (error.description.empty() || error.description != vbs::ErrorDescription(error.number))
        Die("error without the engine's description");
    if (error.line < 1 || error.line > CountLines(text))
        Die("error line outside the text");
    if (error.column < 0 || std::size_t(error.column) > error.text.size())
        Die("error column outside its line");
    if (error.text.find_first_of("\r\n") != std::string::npos || error.text.size() > size)
        Die("error text is not one line of the input");
    if (text.find(error.text) == std::string_view::npos)
        Die("error text is not from the input");
    const vbs::CompileError &second = *again.Error();
    if (second.number != error.number || second.line != error.line || second.column != error.column)
        Die("two engines report different errors");
    if (!engine.Procedures().empty())
        Die("a failed text added procedures");
    return 0;
}
