// ScriptFileTest.cpp: TScript against real files: layout, edge cases, atomic
// saves under injected faults, locks and entries of other programs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include "compoundfile/CompoundFile.h"
#include "storage/uStorage.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path &path, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

// A minimal valid .ico: one 1x1 32-bit image.
std::vector<std::uint8_t> TinyIcon()
{
    std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0,
                                     1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 22, 0, 0, 0};
    std::vector<std::uint8_t> dib = {40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0};
    dib.resize(40, 0);
    dib.insert(dib.end(), {0x00, 0x00, 0xFF, 0xFF}); // one red pixel
    dib.insert(dib.end(), {0, 0, 0, 0});             // AND mask row
    ico.insert(ico.end(), dib.begin(), dib.end());
    return ico;
}

class ScriptFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quenlo-storage-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        SetStorageFaultInjector({});
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    std::string Path(const char *name) const { return (dir / name).string(); }

    // Writes a compound file with the given streams (name -> bytes).
    void MakeFile(const std::string &path, const std::vector<std::pair<std::string, std::string>> &streams)
    {
        cfb::CompoundFile file;
        for (const auto &[name, data] : streams)
            file.Root().CreateStream(cfb::NameFromUtf8(name))->Write(0, data.data(), data.size());
        WriteBytes(path, file.Serialize());
    }

    std::string Stream(const std::string &path, const char *name)
    {
        cfb::CompoundFile file;
        std::string reason;
        EXPECT_TRUE(file.Load(path, reason)) << reason;
        const cfb::Stream *s = file.Root().OpenStream(cfb::NameFromUtf8(name));
        if (!s)
            return "<missing>";
        return std::string(s->Data().begin(), s->Data().end());
    }

    static void Fill(TScript &s)
    {
        s.SetName("Demo");
        s.SetMenu("&Demo");
        s.SetID("{1234}");
        s.SetHint("Runs the demo");
        s.SetMain("Main");
        s.Lines().SetText("Sub Main\r\n\r\nEnd Sub\r\n");
        s.Icon().LoadFromBytes(TinyIcon());
    }

    fs::path dir;
};

const std::vector<std::pair<std::string, std::string>> kMinimal = {
    {"Script", "a\r\n"}, {"Icon", ""}};

} // namespace

TEST_F(ScriptFile, ClearedDocumentWritesSevenMinimalStreams)
{
    TScript script;
    ASSERT_TRUE(script.SaveToFile(Path("new.tvs"))) << script.LastError();
    EXPECT_EQ(script.FileName(), Path("new.tvs"));
    for (const char *name : {"Name", "Menu", "ID", "Hint", "Main"})
        EXPECT_EQ(Stream(Path("new.tvs"), name), std::string(1, '\0')) << name;
    EXPECT_EQ(Stream(Path("new.tvs"), "Script"), "");
    EXPECT_EQ(Stream(Path("new.tvs"), "Icon"), "");
}

TEST_F(ScriptFile, RoundTripKeepsEveryFieldAndTheIconBytes)
{
    TScript saved;
    Fill(saved);
    saved.Lines().Add(""); // a last empty line survives as a final CR LF pair
    ASSERT_TRUE(saved.SaveToFile(Path("a.tvs")));
    EXPECT_EQ(Stream(Path("a.tvs"), "Script"), "Sub Main\r\n\r\nEnd Sub\r\n\r\n");
    EXPECT_EQ(Stream(Path("a.tvs"), "Name"), std::string("Demo\0", 5));

    TScript loaded;
    ASSERT_TRUE(loaded.LoadFromFile(Path("a.tvs"))) << loaded.LastError();
    EXPECT_EQ(loaded.Name(), "Demo");
    EXPECT_EQ(loaded.Menu(), "&Demo");
    EXPECT_EQ(loaded.ID(), "{1234}");
    EXPECT_EQ(loaded.Hint(), "Runs the demo");
    EXPECT_EQ(loaded.Main(), "Main");
    EXPECT_EQ(loaded.Lines().Count(), 4);
    EXPECT_EQ(loaded.Lines().Text(), saved.Lines().Text());
    EXPECT_EQ(loaded.Icon().Bytes(), TinyIcon());
    EXPECT_EQ(loaded.FileName(), Path("a.tvs"));
}

TEST_F(ScriptFile, LongStringIsWrittenWholeAndReadBackCut)
{
    TScript s;
    s.SetName(std::string(300, 'x'));
    ASSERT_TRUE(s.SaveToFile(Path("long.tvs")));
    EXPECT_EQ(Stream(Path("long.tvs"), "Name").size(), 301u);
    TScript back;
    ASSERT_TRUE(back.LoadFromFile(Path("long.tvs")));
    EXPECT_EQ(back.Name(), std::string(260, 'x'));
}

TEST_F(ScriptFile, ForeignLineEndsAndMissingStrings)
{
    MakeFile(Path("lf.tvs"), {{"Name", std::string("N\0junk", 6)}, {"Script", "one\ntwo\rthree\r\nfour"}, {"Icon", ""}});
    TScript s;
    ASSERT_TRUE(s.LoadFromFile(Path("lf.tvs"))) << s.LastError();
    EXPECT_EQ(s.Name(), "N");
    EXPECT_EQ(s.Hint(), ""); // no "Hint" stream: empty, load goes on
    EXPECT_EQ(s.Lines().Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    ASSERT_TRUE(s.SaveToFile(Path("lf.tvs")));
    EXPECT_EQ(Stream(Path("lf.tvs"), "Script"), "one\r\ntwo\r\nthree\r\nfour\r\n");

    MakeFile(Path("nul.tvs"), {{"Script", std::string("a\r\nb\0c\r\n", 8)}, {"Icon", ""}});
    ASSERT_TRUE(s.LoadFromFile(Path("nul.tvs")));
    EXPECT_EQ(s.Lines().Count(), 2);
}

TEST_F(ScriptFile, FailedLoadLeavesTheRecordAsItWas)
{
    TScript s;
    Fill(s);
    ASSERT_TRUE(s.SaveToFile(Path("good.tvs")));
    MakeFile(Path("noicon.tvs"), {{"Name", std::string("Other\0", 6)}, {"Script", "x"}});
    MakeFile(Path("noscript.tvs"), {{"Name", std::string("Other\0", 6)}, {"Icon", ""}});
    WriteBytes(Path("plain.txt"), Bytes("Sub Main\r\nEnd Sub\r\n"));

    for (const char *name : {"noicon.tvs", "noscript.tvs", "plain.txt", "missing.tvs"}) {
        EXPECT_FALSE(s.LoadFromFile(Path(name))) << name;
        EXPECT_FALSE(s.LastError().empty()) << name;
        EXPECT_EQ(s.Name(), "Demo") << name;
        EXPECT_EQ(s.Lines().Count(), 3) << name;
        EXPECT_EQ(s.FileName(), Path("good.tvs")) << name;
    }
    EXPECT_NE(s.LastError().find("missing.tvs"), std::string::npos);

    MakeFile(Path("badicon.tvs"), {{"Name", std::string("Other\0", 6)}, {"Script", "x"}, {"Icon", "not an icon"}});
    EXPECT_THROW(s.LoadFromFile(Path("badicon.tvs")), EInvalidGraphic);
    EXPECT_EQ(s.Name(), "Demo");
    EXPECT_EQ(s.Icon().Bytes(), TinyIcon());
}

// Each limit at its size loads and saves; one byte more is refused by name,
// on load and on save, leaving record and file as they were.
TEST_F(ScriptFile, LimitsAreNamedAndEnforced)
{
    const std::size_t line = TScript::kMaxLineLength;
    const std::size_t lines = TScript::kMaxScriptText / (line + 2);
    const std::string longest(line, 'x');
    std::string largest; // the most whole lines of the longest length, topped up to the limit
    for (std::size_t i = 0; i < lines; ++i)
        largest += longest + "\r\n";
    largest += std::string(TScript::kMaxScriptText - largest.size() - 2, 'y') + "\r\n";
    struct Case {
        std::string text;
        std::string limit; // empty: within the limits
    };
    const std::vector<Case> cases = {
        {longest, ""},
        {longest + "x", "line 1 of 1048577 bytes is longer than the longest line (1048576 bytes)"},
        {"a\r\n" + longest + "xx\r\n", "line 2 of 1048578 bytes is longer than the longest line (1048576 bytes)"},
        {largest, ""},
        {largest + "z\r\n", "script text of " + std::to_string(TScript::kMaxScriptText + 3) +
                                  " bytes is larger than the largest script text (" +
                                  std::to_string(TScript::kMaxScriptText) + " bytes)"},
    };
    for (const Case &c : cases) {
        const std::string path = Path("limit.tvs");
        MakeFile(path, {{"Script", c.text}, {"Icon", ""}});
        TScript s;
        Fill(s);
        EXPECT_EQ(s.LoadFromFile(path), c.limit.empty());
        if (!c.limit.empty()) {
            EXPECT_EQ(s.LastError(), "'" + path + "': " + c.limit);
            EXPECT_EQ(s.Name(), "Demo");
            s.Lines().SetText(c.text);
            const auto before = ReadBytes(path);
            EXPECT_FALSE(s.SaveToFile(path));
            EXPECT_EQ(s.LastError(), c.limit);
            EXPECT_EQ(ReadBytes(path), before);
        } else {
            EXPECT_TRUE(s.SaveToFile(path)) << s.LastError();
        }
    }

    // The file limit looks at the size alone, before any byte is read (the
    // address sanitizer would report a read past this one byte).
    TScript s;
    const std::uint8_t byte = 0;
    EXPECT_FALSE(s.LoadFromImage(&byte, TScript::kMaxScriptFile + 1, "big.tvs"));
    EXPECT_EQ(s.LastError(), "'big.tvs': file of 268435457 bytes is larger than the largest script file (268435456 bytes)");
}

TEST_F(ScriptFile, SaveKeepsOtherEntriesAndReplacesTheSeven)
{
    cfb::CompoundFile file;
    auto *extra = file.Root().CreateStream(u"Tavrix.Extra");
    extra->Write(0, "keep me", 7);
    cfb::Storage *sub = file.Root().CreateStorage(u"Resources");
    sub->CreateStream(u"Bitmap")->Write(0, std::string(5000, 'b').data(), 5000);
    sub->CreateStorage(u"Nested")->CreateStream(u"Deep")->Write(0, "d", 1);
    file.Root().CreateStream(u"icon")->Write(0, TinyIcon().data(), TinyIcon().size()); // other letter case
    file.Root().CreateStream(u"Script")->Write(0, "old", 3);
    WriteBytes(Path("mixed.tvs"), file.Serialize());

    TScript s; // no icon
    s.Lines().SetText("new");
    ASSERT_TRUE(s.SaveToFile(Path("mixed.tvs"))) << s.LastError();

    cfb::CompoundFile back;
    std::string reason;
    ASSERT_TRUE(back.Load(Path("mixed.tvs"), reason)) << reason;
    const cfb::Stream *kept = back.Root().OpenStream(u"Tavrix.Extra");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(std::string(kept->Data().begin(), kept->Data().end()), "keep me");
    const cfb::Storage *res = back.Root().OpenStorage(u"Resources");
    ASSERT_NE(res, nullptr);
    ASSERT_NE(res->OpenStream(u"Bitmap"), nullptr);
    EXPECT_EQ(res->OpenStream(u"Bitmap")->Size(), 5000u);
    ASSERT_NE(res->OpenStorage(u"Nested"), nullptr);
    EXPECT_NE(res->OpenStorage(u"Nested")->OpenStream(u"Deep"), nullptr);
    EXPECT_EQ(Stream(Path("mixed.tvs"), "Script"), "new\r\n");
    EXPECT_EQ(Stream(Path("mixed.tvs"), "Icon"), ""); // the old icon is gone
    TScript loaded;
    ASSERT_TRUE(loaded.LoadFromFile(Path("mixed.tvs")));
    EXPECT_TRUE(loaded.Icon().Empty());
}

TEST_F(ScriptFile, SaveOverAFileThatIsNotACompoundFileFails)
{
    WriteBytes(Path("notes.txt"), Bytes("precious notes"));
    TScript s;
    Fill(s);
    EXPECT_FALSE(s.SaveToFile(Path("notes.txt")));
    EXPECT_EQ(ReadBytes(Path("notes.txt")), Bytes("precious notes"));
    EXPECT_EQ(s.FileName(), "");
}

TEST_F(ScriptFile, EveryInjectedFaultLeavesTheOldFileByteIdentical)
{
    TScript first;
    Fill(first);
    ASSERT_TRUE(first.SaveToFile(Path("f.tvs")));
    ::chmod(Path("f.tvs").c_str(), 0640);
    const auto before = ReadBytes(Path("f.tvs"));

    TScript second;
    Fill(second);
    second.SetName("Changed");
    second.Lines().Clear();
    for (int i = 0; i < 20000; ++i) // a text of several write chunks
        second.Lines().Add("  MsgBox \"line " + std::to_string(i) + "\"");

    std::vector<std::string> steps;
    SetStorageFaultInjector([&](std::string_view step) { steps.emplace_back(step); return false; });
    ASSERT_TRUE(second.SaveToFile(Path("f.tvs")));
    SetStorageFaultInjector({});
    const auto after = ReadBytes(Path("f.tvs"));
    ASSERT_TRUE(first.SaveToFile(Path("f.tvs"))); // back to the first content
    ASSERT_EQ(ReadBytes(Path("f.tvs")), before);
    ASSERT_GT(std::count(steps.begin(), steps.end(), "write"), 2);

    for (std::size_t fault = 0; fault < steps.size(); ++fault) {
        std::size_t n = 0;
        SetStorageFaultInjector([&](std::string_view) { return n++ == fault; });
        EXPECT_FALSE(second.SaveToFile(Path("f.tvs"))) << "fault at step " << fault << " (" << steps[fault] << ")";
        EXPECT_FALSE(second.LastError().empty());
        EXPECT_EQ(ReadBytes(Path("f.tvs")), before) << "fault at step " << fault << " (" << steps[fault] << ")";
        std::size_t files = 0;
        for (const auto &entry : fs::directory_iterator(dir)) {
            (void)entry;
            ++files;
        }
        EXPECT_EQ(files, 1u) << "a temporary file was left after a fault at " << steps[fault];
    }
    SetStorageFaultInjector({});
    ASSERT_TRUE(second.SaveToFile(Path("f.tvs")));
    EXPECT_EQ(ReadBytes(Path("f.tvs")), after);
    struct stat st {};
    ASSERT_EQ(::stat(Path("f.tvs").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // permissions kept
}

TEST_F(ScriptFile, AFileLockedByAnotherProcessCannotBeLoadedOrSaved)
{
    TScript s;
    Fill(s);
    ASSERT_TRUE(s.SaveToFile(Path("locked.tvs")));
    const auto before = ReadBytes(Path("locked.tvs"));
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(Path("locked.tvs").c_str(), O_RDWR);
        const char ok = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    TScript other;
    EXPECT_FALSE(other.LoadFromFile(Path("locked.tvs")));
    EXPECT_NE(other.LastError().find("in use"), std::string::npos) << other.LastError();
    s.SetName("Changed");
    EXPECT_FALSE(s.SaveToFile(Path("locked.tvs")));
    EXPECT_EQ(ReadBytes(Path("locked.tvs")), before);

    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(other.LoadFromFile(Path("locked.tvs"))) << other.LastError();
}

TEST_F(ScriptFile, ReadOnlyFileFailsToLoad)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores file permissions";
    MakeFile(Path("ro.tvs"), kMinimal);
    ::chmod(Path("ro.tvs").c_str(), 0444);
    TScript s;
    EXPECT_FALSE(s.LoadFromFile(Path("ro.tvs")));
    EXPECT_NE(s.LastError().find("read-only"), std::string::npos);
}

TEST_F(ScriptFile, FileThatRefusesWritingLoadsReadOnlyOnlyWhenAsked)
{
    MakeFile(Path("ro.tvs"), {{"Script", "a\r\nb"}, {"Icon", ""}, {"Name", std::string("n\0", 2)}});
    SetStorageFaultInjector([](std::string_view step) { return step == "open-write"; });
    TScript s;
    s.SetName("kept");
    EXPECT_FALSE(s.LoadFromFile(Path("ro.tvs")));
    EXPECT_NE(s.LastError().find("cannot be opened for writing"), std::string::npos) << s.LastError();
    EXPECT_EQ(s.Name(), "kept");

    ASSERT_TRUE(s.LoadFromFile(Path("ro.tvs"), true)) << s.LastError();
    EXPECT_TRUE(s.ReadOnly());
    EXPECT_EQ(s.Lines().Text(), "a\r\nb\r\n");
    EXPECT_EQ(s.Name(), "n");
    EXPECT_FALSE(s.SaveToFile(Path("ro.tvs"))); // still no write access

    // Another program's exclusive lock keeps a reader out too.
    const int fd = ::open(Path("ro.tvs").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    TScript other;
    EXPECT_FALSE(other.LoadFromFile(Path("ro.tvs"), true));
    EXPECT_NE(other.LastError().find("in use"), std::string::npos) << other.LastError();
    ::close(fd);

    // Writable again: a normal load, and a save elsewhere clears the mark.
    SetStorageFaultInjector({});
    ASSERT_TRUE(s.LoadFromFile(Path("ro.tvs"), true));
    EXPECT_FALSE(s.ReadOnly());
    SetStorageFaultInjector([](std::string_view step) { return step == "open-write"; });
    ASSERT_TRUE(s.LoadFromFile(Path("ro.tvs"), true));
    SetStorageFaultInjector({});
    ASSERT_TRUE(s.SaveToFile(Path("copy.tvs")));
    EXPECT_FALSE(s.ReadOnly());
    EXPECT_FALSE(other.LoadFromFile(Path("missing.tvs"), true)); // a missing file is no read-only one
    EXPECT_NE(other.LastError().find("No such file"), std::string::npos) << other.LastError();
}

TEST(ScriptRecord, AssignAndClear)
{
    TScript a;
    a.SetName("n");
    a.SetMain("m");
    a.Lines().Add("x");
    TScript b;
    b.Assign(a);
    EXPECT_EQ(b.Name(), "n");
    EXPECT_EQ(b.Main(), "m");
    EXPECT_EQ(b.Lines().Count(), 1);
    b.Clear();
    EXPECT_EQ(b.Name(), "");
    EXPECT_EQ(b.Lines().Count(), 0);
}
