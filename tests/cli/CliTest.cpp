// CliTest.cpp: quenlo-cli's commands, exit statuses and text conversions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "QuenloVersion.h"
#include "compoundfile/CompoundFile.h"
#include "storage/uStorage.h"
#include "cli/CliCommands.h"

namespace fs = std::filesystem;

namespace {

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quenlo-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        home = fs::current_path();
        fs::current_path(dir); // files by their bare names too
    }
    void TearDown() override
    {
        fs::current_path(home);
        fs::remove_all(dir);
    }
    std::string Path(const char *name) const { return (dir / name).string(); }
    void Write(const char *name, const std::string &bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string ReadFile(const char *name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    int Run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return RunCli(args, out, err);
    }

    fs::path dir;
    fs::path home;
    std::ostringstream out;
    std::ostringstream err;
};

} // namespace

TEST_F(Cli, PackCreatesThenUpdatesKeepingFieldsAndEntries)
{
    Write("a.vbs", "Sub Main\r\n  MsgBox \"caf\xE9\"\r\nEnd Sub\r\n");
    ASSERT_EQ(Run({"pack", Path("out.tvs"), "--script", Path("a.vbs"), "--name", "Caf\xC3\xA9", "--main", "Main"}), 0) << err.str();

    // Another program adds an entry; an update must keep it and the fields not given.
    cfb::CompoundFile file;
    std::string reason;
    ASSERT_TRUE(file.Load(Path("out.tvs"), reason)) << reason;
    file.Root().CreateStream(u"Extra")->Write(0, "abc", 3);
    {
        auto image = file.Serialize();
        std::ofstream(Path("out.tvs"), std::ios::binary).write(reinterpret_cast<const char *>(image.data()), std::streamsize(image.size()));
    }
    Write("b.vbs", "Sub Main\nEnd Sub");
    ASSERT_EQ(Run({"pack", Path("out.tvs"), "--script", Path("b.vbs"), "--hint", "new hint"}), 0) << err.str();

    TScript script;
    ASSERT_TRUE(script.LoadFromFile(Path("out.tvs")));
    EXPECT_EQ(script.Name(), "Caf\xE9");
    EXPECT_EQ(script.Main(), "Main");
    EXPECT_EQ(script.Hint(), "new hint");
    EXPECT_EQ(script.Lines().Text(), "Sub Main\r\nEnd Sub\r\n");

    ASSERT_EQ(Run({"info", Path("out.tvs")}), 0) << err.str();
    EXPECT_EQ(out.str(), "name: Caf\xC3\xA9\nmenu:\nid:\nhint: new hint\nmain: Main\nlines: 2\nicon: none\n"
                         "extra: Extra (stream, 3 bytes)\n");
    ASSERT_EQ(Run({"info", "--json", Path("out.tvs")}), 0) << err.str();
    const std::string json = out.str();
    EXPECT_NE(json.find("\"name\": \"Caf\xC3\xA9\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"lines\": 2"), std::string::npos) << json;
    EXPECT_NE(json.find("\"icon\": null"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"name\": \"Extra\", \"type\": \"stream\", \"size\": 3}"), std::string::npos) << json;
    EXPECT_EQ(json.find("\"Script\""), std::string::npos) << json; // own streams are not extra

    // cat and info read a read-only file, and one that another process has locked.
    fs::permissions(Path("out.tvs"), fs::perms::owner_read);
    const int locked = ::open(Path("out.tvs").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(locked, LOCK_EX), 0);
    ASSERT_EQ(Run({"cat", Path("out.tvs")}), 0) << err.str();
    EXPECT_EQ(out.str(), "Sub Main\nEnd Sub\n");
    EXPECT_EQ(Run({"info", Path("out.tvs")}), 0) << err.str();
    ::close(locked);
}

TEST_F(Cli, ScriptFilesWithByteOrderMarksAreConverted)
{
    Write("u8.vbs", "\xEF\xBB\xBFMsgBox \"\xE2\x82\xAC\"\r\n");
    ASSERT_EQ(Run({"pack", Path("u8.tvs"), "--script", Path("u8.vbs")}), 0) << err.str();
    ASSERT_EQ(Run({"cat", "--raw", Path("u8.tvs")}), 0);
    EXPECT_EQ(out.str(), "MsgBox \"\x80\"\n");

    Write("u16.vbs", std::string("\xFF\xFE" "a\0\xAC\x20\r\0\n\0b\0", 12));
    ASSERT_EQ(Run({"pack", Path("u16.tvs"), "--script", Path("u16.vbs")}), 0) << err.str();
    ASSERT_EQ(Run({"cat", "--raw", Path("u16.tvs")}), 0);
    EXPECT_EQ(out.str(), "a\x80\nb\n");

    Write("be.vbs", std::string("\xFE\xFF\0a\0\n\0b\x04\x16", 10)); // a Cyrillic letter
    EXPECT_EQ(Run({"pack", Path("be.tvs"), "--script", Path("be.vbs")}), 3);
    EXPECT_NE(err.str().find("line 2, column 2: character U+0416"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(Path("be.tvs")));
}

TEST_F(Cli, ExitStatuses)
{
    EXPECT_EQ(Run({}), 2);
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(Run({"info"}), 2);
    EXPECT_EQ(Run({"pack", Path("x.tvs")}), 2);
    EXPECT_EQ(Run({"pack", Path("x.tvs"), "--script"}), 2);
    EXPECT_EQ(Run({"pack", Path("x.tvs"), "--script", "s", "--colour", "red"}), 2);
    Write("s.vbs", "x");
    EXPECT_EQ(Run({"pack", Path("x.tvs"), "--script", Path("s.vbs"), "--name", "\xD0\x96"}), 2); // not in Windows-1252
    EXPECT_FALSE(fs::exists(Path("x.tvs")));
    EXPECT_EQ(Run({"check", "--quiet", Path("s.vbs")}), 2);
    EXPECT_EQ(Run({"info", Path("missing.tvs")}), 3);
    Write("plain.txt", "hello");
    EXPECT_EQ(Run({"cat", Path("plain.txt")}), 3);
    EXPECT_NE(err.str().find("plain.txt"), std::string::npos);
    EXPECT_EQ(Run({"pack", Path("plain.txt"), "--script", Path("s.vbs")}), 3); // not overwritten
    EXPECT_EQ(Run({"pack", Path("y.tvs"), "--script", Path("missing.vbs")}), 3);
    Write("bad.ico", "not an icon");
    EXPECT_EQ(Run({"pack", Path("y.tvs"), "--script", Path("s.vbs"), "--icon", Path("bad.ico")}), 3);
    EXPECT_EQ(Run({"help"}), 0);
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.str(), "quenlo " + std::string(kQuenloVersion) + "\n");
}


// Each kind of file alone, then all in one call: the same reports in file
// order, and the worst exit status.
TEST_F(Cli, CheckReportsEachFileInCompilerForm)
{
    struct Case {
        const char *name;
        std::string bytes;
        int status;
        std::string out;
    };
    const std::u16string utf16 = u"\uFEFFSub Main\r\nEnd Function\r\n";
    std::string utf16be;
    for (char16_t c : utf16)
        utf16be += {char(c >> 8), char(c & 0xFF)};
    const std::vector<Case> cases = {
        {"clean.vbs", "Sub Main\r\n  MsgBox \"caf\xE9\"\r\nEnd Sub\r\n", 0, ""},
        {"tab.vbs", "Sub Main\r\n\tx = (1 + \r\nEnd Sub\r\n", 1,
         "tab.vbs:2:11: error 1023: Expected expression\n\tx = (1 + \n\t         ^\n"},
        {"utf8.vbs", "\xEF\xBB\xBFx = \"\xE2\x82\xAC\" ) \n", 1,
         "utf8.vbs:1:9: error 1025: Expected end of statement\nx = \"\xE2\x82\xAC\" ) \n        ^\n"},
        {"utf16le.vbs", std::string("\xFF\xFEx\0=\0\xAC\x20\n\0", 10), 1,
         "utf16le.vbs:1:3: error 1032: Invalid character\nx=\xE2\x82\xAC\n  ^\n"},
        {"utf16be.vbs", utf16be, 1,
         "utf16be.vbs:2:5: error 1016: Expected 'Sub' (to match 'Sub' at line 1)\nEnd Function\n    ^\n"},
        {"control.vbs", "x = 1 \x1B[31m\n", 1, "control.vbs:1:7: error 1032: Invalid character\nx = 1 ?[31m\n      ^\n"},
        {"cyrillic.vbs", "\xEF\xBB\xBF' ok\nx = \"\xD0\x96\"\n", 3,
         "cyrillic.vbs:2:6: error: character U+0416 cannot be stored in a script, whose text is Windows-1252\n"
         "x = \"\xD0\x96\"\n     ^\n"},
        {"broken.vbs", "\xEF\xBB\xBFx = \"\xC3(\"\n", 3,
         "broken.vbs:1:6: error: not valid UTF-8 (after its byte-order mark)\nx = \"\xEF\xBF\xBD(\"\n     ^\n"},
    };
    std::vector<std::string> all = {"check"};
    std::string allOut;
    for (const Case &c : cases) {
        Write(c.name, c.bytes);
        EXPECT_EQ(Run({"check", c.name}), c.status) << c.name;
        EXPECT_EQ(out.str(), c.out) << c.name;
        EXPECT_EQ(err.str(), "") << c.name;
        all.push_back(c.name);
        allOut += c.out;
    }
    // A script file of the same text reports the same.
    ASSERT_EQ(Run({"pack", Path("tab.tvs"), "--script", Path("tab.vbs")}), 0);
    EXPECT_EQ(Run({"check", Path("tab.tvs")}), 1);
    EXPECT_EQ(out.str().substr(Path("tab.tvs").size()), cases[1].out.substr(7));
    {
        cfb::CompoundFile other; // a compound file, but not a script file
        other.Root().CreateStream(u"Name")->Write(0, "x", 2);
        const auto image = other.Serialize();
        Write("other.tvs", std::string(image.begin(), image.end()));
    }

    all.insert(all.begin() + 3, {"missing.vbs", "other.tvs"});
    EXPECT_EQ(Run(all), 3);
    EXPECT_EQ(out.str(), allOut);
    EXPECT_EQ(err.str(), "quenlo-cli: cannot read 'missing.vbs': No such file or directory\n"
                         "quenlo-cli: cannot read 'other.tvs': not a script file: it has no \"Script\" stream\n");
    EXPECT_EQ(Run({"check", "tab.vbs", "clean.vbs", "utf8.vbs"}), 1);
    EXPECT_EQ(Run({"check", "--verbose", "clean.vbs", "--", "tab.vbs"}), 1);
    EXPECT_EQ(out.str(), "clean.vbs: no errors\n" + cases[1].out +
                             "checked 2 files: 1 without errors, 1 with a syntax error, 0 not readable\n");

    EXPECT_EQ(Run({"procedures", "utf16be.vbs"}), 1);
    EXPECT_EQ(err.str(), cases[4].out);
    EXPECT_EQ(Run({"procedures", "clean.vbs"}), 0);
    EXPECT_EQ(out.str(), "Main 0 sub\n");
    EXPECT_EQ(Run({"procedures", "missing.vbs"}), 3);
}

// Forms of published scripts: '&' right before a name concatenates, and a
// procedure defined again is listed once, as and where it was defined last.
// A Dim of a procedure's name and an &H without digits stay errors.
TEST_F(Cli, AmpersandBeforeANameAndAProcedureDefinedAgain)
{
    Write("published.vbs", "Sub Main\r\n  p = \"\\\"&objSubFolder.Name & \"a\"&hostName & &H1F & &17\r\nEnd Sub\r\n"
                           "Function Helper(a)\r\nEnd Function\r\nSub main(a, b)\r\nEnd Sub\r\n");
    EXPECT_EQ(Run({"check", "published.vbs"}), 0) << out.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"procedures", "published.vbs"}), 0) << err.str();
    EXPECT_EQ(out.str(), "Helper 1 function\nmain 2 sub\n");

    Write("redeclared.vbs", "Sub Main\r\nEnd Sub\r\nDim main\r\n");
    EXPECT_EQ(Run({"check", "redeclared.vbs"}), 1);
    EXPECT_EQ(out.str(), "redeclared.vbs:3:5: error 1041: Name redefined\nDim main\n    ^\n");
    Write("hex.vbs", "x = \"a\"&h\r\n");
    EXPECT_EQ(Run({"check", "hex.vbs"}), 1);
    EXPECT_EQ(out.str(), "hex.vbs:1:8: error 1031: Invalid number\nx = \"a\"&h\n       ^\n");
}

TEST_F(Cli, JsonOutputIsValidAndComplete)
{
    Write("ok.vbs", "Sub Main\r\nEnd Sub\r\nFunction Twice(x)\r\n  Twice = 2 * x\r\nEnd Function\r\n");
    Write("bad.vbs", "If x Then\n\ty = \"caf\xE9\n");
    Write("wide.vbs", "\xEF\xBB\xBFx = \"\xF0\x9F\x98\x80\"\n");
    auto parse = [this] {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out.str()), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << out.str();
        return doc;
    };
    EXPECT_EQ(Run({"check", "--json", "ok.vbs", "bad.vbs", "missing.vbs", "wide.vbs"}), 3);
    const QJsonArray files = parse().array();
    ASSERT_EQ(files.size(), 4);
    EXPECT_EQ(files[0].toObject(), (QJsonObject{{"file", "ok.vbs"}, {"status", "clean"}}));
    EXPECT_EQ(files[1].toObject(),
              (QJsonObject{{"file", "bad.vbs"}, {"status", "syntax error"}, {"line", 2}, {"column", 6},
                           {"number", 1033}, {"description", "Unterminated string constant"}, {"note", ""},
                           {"text", QString::fromUtf8("\ty = \"caf\xC3\xA9")}}));
    EXPECT_EQ(files[2].toObject()["status"], "unreadable");
    EXPECT_EQ(files[2].toObject()["reason"], "No such file or directory");
    EXPECT_EQ(files[3].toObject()["reason"], "character U+1F600 cannot be stored in a script, whose text is Windows-1252");
    EXPECT_EQ(files[3].toObject()["column"], 6);

    EXPECT_EQ(Run({"procedures", "--json", "ok.vbs"}), 0);
    EXPECT_EQ(parse().object()["procedures"].toArray(),
              (QJsonArray{QJsonObject{{"name", "Main"}, {"arguments", 0}, {"kind", "sub"}},
                          QJsonObject{{"name", "Twice"}, {"arguments", 1}, {"kind", "function"}}}));
    EXPECT_EQ(Run({"procedures", "--json", "bad.vbs"}), 1);
    EXPECT_EQ(parse().object()["number"], 1033);

    ASSERT_EQ(Run({"pack", "ok.tvs", "--script", "ok.vbs", "--hint", "a \"quoted\"\ttab"}), 0);
    EXPECT_EQ(Run({"info", "--json", "ok.tvs"}), 0);
    EXPECT_EQ(parse().object()["hint"], "a \"quoted\"\ttab");
    EXPECT_EQ(parse().object()["lines"], 5);
}

// The README's examples, git set-up and pre-commit hook, run as written in a
// temporary repository with quenlo-cli on the PATH.
TEST_F(Cli, ReadmeExamplesWorkInAGitRepository)
{
    if (std::system("git --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "git is not installed";
    std::ifstream readme(fs::path(QUENLO_SOURCE_DIR) / "README.md");
    std::vector<std::string> blocks; // the fenced blocks of the quenlo-cli section
    bool inSection = false;
    bool inBlock = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("## ", 0) == 0)
            inSection = line == "## quenlo-cli";
        else if (inSection && line.rfind("```", 0) == 0 && (inBlock = !inBlock))
            blocks.emplace_back();
        else if (inSection && inBlock)
            blocks.back() += line + "\n";
    }
    ASSERT_EQ(blocks.size(), 3u);
    const std::string &examples = blocks[0], &setup = blocks[1], &hook = blocks[2];
    ASSERT_NE(setup.find("git config diff.tvs.textconv \"quenlo-cli cat\""), std::string::npos);
    ASSERT_NE(setup.find("*.tvs diff=tvs"), std::string::npos);
    ASSERT_EQ(hook.rfind("#!/bin/sh\n", 0), 0u);

    // Only the temporary repository, whatever git hook or configuration runs these tests.
    for (const char *name : {"GIT_DIR", "GIT_WORK_TREE", "GIT_INDEX_FILE", "GIT_OBJECT_DIRECTORY"})
        ::unsetenv(name);
    ::setenv("GIT_CONFIG_GLOBAL", "/dev/null", 1);
    ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
    ::setenv("PATH", (fs::path(QUENLO_CLI).parent_path().string() + ":" + std::getenv("PATH")).c_str(), 1);
    auto shell = [](const std::string &commands) {
        std::ofstream("commands.sh") << commands;
        return std::system("sh -e commands.sh >>log.txt 2>&1");
    };
    ASSERT_EQ(shell("git init -q . && git config user.email t@example.com && git config user.name T\n"), 0);
    Write("report.vbs", "Sub Main\r\n  MsgBox \"caf\xE9\"\r\nEnd Sub\r\n");
    EXPECT_EQ(shell(examples), 0) << ReadFile("log.txt");
    std::string commands;
    for (std::istringstream lines(examples); std::getline(lines, commands);)
        EXPECT_EQ(commands.rfind("quenlo-cli ", 0), 0u) << commands;

    ASSERT_EQ(shell(setup + "git add . && git commit -qm first\n"), 0) << ReadFile("log.txt");
    Write("report.vbs", "Sub Main\r\n  MsgBox \"caf\xE9!\"\r\nEnd Sub\r\n");
    ASSERT_EQ(shell("quenlo-cli pack Report.tvs --script report.vbs\ngit diff Report.tvs >diff.txt\n"), 0);
    EXPECT_NE(ReadFile("diff.txt").find("-  MsgBox \"caf\xC3\xA9\"\n+  MsgBox \"caf\xC3\xA9!\"\n"), std::string::npos)
        << ReadFile("diff.txt");

    Write(".git/hooks/pre-commit", hook);
    fs::permissions(".git/hooks/pre-commit", fs::perms::owner_all);
    EXPECT_EQ(shell("git commit -qam second\n"), 0) << ReadFile("log.txt");
    Write("broken.vbs", "If x Then\r\n");
    EXPECT_NE(shell("git add broken.vbs && git commit -qm third\n"), 0);
    EXPECT_NE(ReadFile("log.txt").find("broken.vbs:2:1: error 1014: Expected 'End'"), std::string::npos)
        << ReadFile("log.txt");
    EXPECT_EQ(shell("git log --oneline | wc -l | grep -qx 2\n"), 0);
}

TEST_F(Cli, RefusesWhatTheEditorRefuses)
{
    // One reader for both: a file the editor cannot open is not readable here
    // either, with the same reason, and one it opens reads the same text.
    cfb::CompoundFile file;
    const std::string line(TScript::kMaxLineLength + 1, 'x');
    file.Root().CreateStream(u"Script")->Write(0, line.data(), line.size());
    file.Root().CreateStream(u"Icon");
    const auto bytes = file.Serialize();
    Write("long.tvs", std::string(bytes.begin(), bytes.end()));
    TScript editor;
    ASSERT_FALSE(editor.LoadFromFile(Path("long.tvs")));
    EXPECT_EQ(Run({"check", Path("long.tvs")}), 3);
    EXPECT_EQ(err.str(), "quenlo-cli: cannot read '" + Path("long.tvs") + "': " +
                             editor.LastError().substr(editor.LastError().find(": ") + 2) + "\n");
}
