// document_fuzz.cpp: libFuzzer target for the whole document load, from the
// bytes of a compound file to the text lines and the icon. Any input either
// loads (lines without line breaks or 0 bytes and within the limits, strings within the string
// stream rule, the icon empty or valid and decodable) or fails cleanly: a
// false result with a reason, or EInvalidGraphic, and the record as it was.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/uStorage.h"

namespace {

[[noreturn]] void Die(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void FillPrevious(TScript &script)
{
    script.SetName("previous");
    script.SetMain("Main");
    script.Lines().Add("Sub Main");
    script.Lines().Add("End Sub");
}

bool IsPrevious(const TScript &script)
{
    return script.Name() == "previous" && script.Main() == "Main" && script.Menu().empty() &&
           script.Lines().Count() == 2 && script.Lines().Get(1) == "End Sub" && script.Icon().Empty() &&
           script.FileName().empty();
}

bool IsStringField(const std::string &value)
{
    return value.size() <= TScript::kStringStreamLimit && value.find('\0') == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TScript script;
    FillPrevious(script);
    bool loaded = false;
    try {
        loaded = script.LoadFromImage(data, size, "fuzz.tvs");
    } catch (const EInvalidGraphic &) {
        if (!IsPrevious(script))
            Die("a refused icon changed the record");
        return 0;
    }
    if (!loaded) {
        if (script.LastError().empty())
            Die("a failed load without a reason");
        if (!IsPrevious(script))
            Die("a failed load changed the record");
        return 0;
    }
    if (script.FileName() != "fuzz.tvs")
        Die("a load that does not set the file name");
    for (const std::string *field : {&script.Name(), &script.Menu(), &script.ID(), &script.Hint(), &script.Main()})
        if (!IsStringField(*field))
            Die("a string field breaks the string stream rule");
    std::size_t textBytes = 0;
    for (int i = 0; i < script.Lines().Count(); ++i) {
        const std::string_view line = script.Lines().Get(i);
        if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            Die("a line holds a line break or a 0 byte");
        if (line.size() > TScript::kMaxLineLength)
            Die("a line longer than the longest line");
        textBytes += line.size() + 2;
    }
    if (textBytes > size * 2 + 2 || textBytes > TScript::kMaxScriptText + 2 * std::size_t(script.Lines().Count()))
        Die("more text than the file or the largest script text can hold");
    // The text written back splits into the same lines.
    const std::vector<std::string> again = SplitTextLines(script.Lines().Text());
    if (int(again.size()) != script.Lines().Count())
        Die("the text does not split back into its lines");
    if (!script.Icon().Empty()) {
        if (!TIcon::Validate(script.Icon().Bytes()).empty())
            Die("a loaded icon that is not valid");
        (void)script.Icon().Image();
    }
    return 0;
}
