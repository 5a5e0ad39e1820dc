// CliTest.cpp: quenlo-cli's commands, exit statuses and text conversions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char *name) const { return (dir / name).string(); }
    void Write(const char *name, const std::string &bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    int Run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return RunCli(args, out, err);
    }

    fs::path dir;
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
    const std::string json = out.str();
    EXPECT_NE(json.find("\"name\": \"Caf\xC3\xA9\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"lines\": 2"), std::string::npos) << json;
    EXPECT_NE(json.find("\"icon\": null"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"name\": \"Extra\", \"type\": \"stream\", \"size\": 3}"), std::string::npos) << json;
    EXPECT_EQ(json.find("\"Script\""), std::string::npos) << json; // own streams are not extra

    ASSERT_EQ(Run({"cat", Path("out.tvs")}), 0);
    EXPECT_EQ(out.str(), "Sub Main\nEnd Sub\n");
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

    Write("be.vbs", std::string("\xFE\xFF\x04\x16", 4)); // a Cyrillic letter
    EXPECT_EQ(Run({"pack", Path("be.tvs"), "--script", Path("be.vbs")}), 1);
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
    EXPECT_EQ(Run({"info", Path("missing.tvs")}), 1);
    Write("plain.txt", "hello");
    EXPECT_EQ(Run({"cat", Path("plain.txt")}), 1);
    EXPECT_NE(err.str().find("plain.txt"), std::string::npos);
    EXPECT_EQ(Run({"pack", Path("plain.txt"), "--script", Path("s.vbs")}), 1); // not overwritten
    EXPECT_EQ(Run({"pack", Path("y.tvs"), "--script", Path("missing.vbs")}), 1);
    Write("bad.ico", "not an icon");
    EXPECT_EQ(Run({"pack", Path("y.tvs"), "--script", Path("s.vbs"), "--icon", Path("bad.ico")}), 1);
    EXPECT_EQ(Run({"help"}), 0);
}

TEST_F(Cli, CheckAndProcedures)
{
    Write("ok.vbs", "Sub Main\r\nEnd Sub\r\nFunction Twice(x)\r\n  Twice = 2 * x\r\nEnd Function\r\n");
    ASSERT_EQ(Run({"pack", Path("ok.tvs"), "--script", Path("ok.vbs")}), 0);
    EXPECT_EQ(Run({"check", Path("ok.tvs")}), 0);
    EXPECT_EQ(out.str(), "no errors\n");
    EXPECT_EQ(Run({"procedures", Path("ok.tvs")}), 0);
    EXPECT_EQ(out.str(), "Main 0 sub\nTwice 1 function\n");

    Write("bad.vbs", "Sub Main\r\n  x = (1 + \r\nEnd Sub\r\n");
    ASSERT_EQ(Run({"pack", Path("bad.tvs"), "--script", Path("bad.vbs")}), 0);
    EXPECT_EQ(Run({"check", Path("bad.tvs")}), 3);
    EXPECT_EQ(out.str().rfind("line 2, column ", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("Expected expression"), std::string::npos) << out.str();
    EXPECT_EQ(Run({"procedures", Path("bad.tvs")}), 3);
    EXPECT_EQ(Run({"check", Path("missing.tvs")}), 1);
    EXPECT_EQ(Run({"check"}), 2);
}
