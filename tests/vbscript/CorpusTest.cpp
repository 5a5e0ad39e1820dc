// CorpusTest.cpp: every script under tests/data/vbscript. Each valid/ file
// compiles, with any line breaks, and lists the procedures its "' procedures:"
// header names (none without one); each errors/ file fails with the line,
// column, number and description of its "' expect:" header.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "vbscript/VbsEngine.h"
#include "vbscript/VbsErrors.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = fs::path(QUENLO_TEST_DATA) / "vbscript";

std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ListScripts(const char *folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(kCorpus / folder))
        if (entry.path().extension() == ".vbs")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Lines split at CR LF, CR or LF, without their breaks.
std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string> &lines, const std::string &lineBreak)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i > 0 ? lineBreak : "") + lines[i];
    return text;
}

// The value of a "' key: value" header line, or empty.
std::string Header(const std::vector<std::string> &lines, const std::string &key)
{
    for (const std::string &line : lines)
        if (line.rfind("' " + key + ": ", 0) == 0)
            return line.substr(key.size() + 4);
    return {};
}

std::string ProcedureList(const std::vector<vbs::Procedure> &procedures)
{
    std::string list;
    for (const vbs::Procedure &p : procedures)
        list += (list.empty() ? "" : "; ") + p.name + "/" + std::to_string(p.numArgs) + "/" +
                (p.hasReturnValue ? "Function" : "Sub");
    return list;
}

std::string Describe(const std::optional<vbs::CompileError> &error)
{
    if (!error)
        return "no error";
    return std::to_string(error->line) + ":" + std::to_string(error->column) + " " +
           std::to_string(error->number) + " " + error->description;
}

class ValidScript : public testing::TestWithParam<std::string> {};

TEST_P(ValidScript, CompilesWithItsProcedures)
{
    const std::string text = ReadFile(kCorpus / "valid" / GetParam());
    const std::vector<std::string> lines = SplitLines(text);
    const std::string expected = Header(lines, "procedures");
    // The same lines with each kind of line break, and without the last one.
    for (const std::string &lineBreak : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
        std::string variant = JoinLines(lines, lineBreak);
        for (int trimmed = 0; trimmed < 2; ++trimmed) {
            vbs::Engine engine;
            EXPECT_TRUE(engine.AddCode(variant)) << Describe(engine.Error());
            EXPECT_FALSE(engine.Error().has_value());
            EXPECT_EQ(ProcedureList(engine.Procedures()), expected);
            variant.erase(variant.find_last_not_of("\r\n") == std::string::npos
                              ? 0
                              : variant.find_last_not_of("\r\n") + 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ValidScript, testing::ValuesIn(ListScripts("valid")),
                         [](const auto &info) { return fs::path(info.param).stem().string(); });

struct Expectation {
    int line = 0;
    int column = 0;
    int number = 0;
    std::string description;
};

// "' expect: LINE:COLUMN NUMBER DESCRIPTION"
Expectation ParseExpectation(const std::string &header)
{
    Expectation e;
    char colon = 0;
    std::istringstream in(header);
    in >> e.line >> colon >> e.column >> e.number;
    std::getline(in >> std::ws, e.description);
    return e;
}

class ErrorScript : public testing::TestWithParam<std::string> {};

TEST_P(ErrorScript, FailsWhereItsHeaderSays)
{
    const std::string text = ReadFile(kCorpus / "errors" / GetParam());
    const std::vector<std::string> lines = SplitLines(text);
    const Expectation expected = ParseExpectation(Header(lines, "expect"));
    ASSERT_GT(expected.line, 0) << "no '' expect:' header";
    ASSERT_LE(expected.line, int(lines.size()));
    for (const std::string &lineBreak : {std::string("\n"), std::string("\r\n")}) {
        vbs::Engine engine;
        EXPECT_FALSE(engine.AddCode(JoinLines(lines, lineBreak)));
        ASSERT_TRUE(engine.Error().has_value());
        const vbs::CompileError &error = *engine.Error();
        EXPECT_EQ(error.line, expected.line);
        EXPECT_EQ(error.column, expected.column);
        EXPECT_EQ(error.number, expected.number);
        EXPECT_EQ(error.description, expected.description);
        EXPECT_EQ(error.text, lines[std::size_t(expected.line - 1)]);
        EXPECT_EQ(error.source, "VBScript compilation error");
        EXPECT_TRUE(engine.Procedures().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ErrorScript, testing::ValuesIn(ListScripts("errors")),
                         [](const auto &info) { return fs::path(info.param).stem().string(); });

// Every error the engine can report has at least one file of its own, named
// after its number, and the file's header uses the engine's description.
TEST(ErrorCorpus, CoversEveryErrorNumber)
{
    std::set<int> covered;
    for (const std::string &name : ListScripts("errors")) {
        const Expectation e =
            ParseExpectation(Header(SplitLines(ReadFile(kCorpus / "errors" / name)), "expect"));
        EXPECT_EQ(std::stoi(name.substr(0, 4)), e.number) << name;
        EXPECT_EQ(e.description, vbs::ErrorDescription(e.number)) << name;
        covered.insert(e.number);
    }
    for (int number = 1; number < 1100; ++number) {
        if (!vbs::ErrorDescription(number).empty()) {
            EXPECT_EQ(covered.count(number), 1u) << "no corpus file for error " << number;
        }
    }
}

} // namespace
