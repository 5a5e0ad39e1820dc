// InteropTest.cpp: files checked against readers and writers we did not write:
// olefile (Debian python3-olefile, through olefile_dump.py) and gsf (Debian
// libgsf-bin) read what Serialize writes; Parse reads what `gsf createole` writes.
// A missing tool fails the test: the project's set-up installs both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "compoundfile/CompoundFile.h"
#include "tests/compoundfile/CfbTestSupport.h"

using namespace cfbtest;
namespace fs = std::filesystem;

namespace {

const char kPython[] = "/usr/bin/python3";

std::string ShellQuote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

struct RunResult {
    int status = -1; // exit status, -1 when the command did not end normally
    std::string out;
    std::string err;
};

RunResult Run(const std::string &command, const fs::path &errFile)
{
    RunResult result;
    FILE *pipe = ::popen((command + " 2>" + ShellQuote(errFile.string())).c_str(), "r");
    if (!pipe)
        return result;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    result.err.assign(std::istreambuf_iterator<char>(err), {});
    return result;
}

std::uint32_t Crc32(const std::vector<std::uint8_t> &data)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : data)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// A class id as olefile shows it: GUID text, empty for all zeros.
std::string Guid(const std::array<std::uint8_t, 16> &id)
{
    if (std::all_of(id.begin(), id.end(), [](std::uint8_t b) { return b == 0; }))
        return {};
    char text[40];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", id[3],
                  id[2], id[1], id[0], id[5], id[4], id[7], id[6], id[8], id[9], id[10], id[11], id[12], id[13],
                  id[14], id[15]);
    return text;
}

std::string Hex8(std::uint32_t value)
{
    char text[12];
    std::snprintf(text, sizeof text, "%08x", unsigned(value));
    return text;
}

std::string StorageFields(const cfb::Storage &storage)
{
    return Guid(storage.clsid) + "\t" + std::to_string(storage.stateBits) + "\t" +
           std::to_string(storage.creationTime) + "\t" + std::to_string(storage.modifiedTime);
}

// The lines olefile_dump.py prints for a tree.
void ExpectedLines(const cfb::Storage &storage, const std::string &prefix, std::vector<std::string> &lines)
{
    for (const cfb::EntryInfo &info : storage.List()) {
        const std::string path = prefix + cfb::NameToUtf8(info.name);
        if (info.isStorage) {
            const cfb::Storage &sub = *storage.OpenStorage(info.name);
            lines.push_back("storage\t" + path + "\t" + StorageFields(sub));
            ExpectedLines(sub, path + "/", lines);
        } else {
            const cfb::Stream &stream = *storage.OpenStream(info.name);
            lines.push_back("stream\t" + path + "\t" + std::to_string(stream.Size()) + "\t" +
                            Hex8(Crc32(stream.Data())) + "\t" + std::to_string(stream.stateBits));
        }
    }
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A FILETIME (100 ns units since 1601) as gsf lists it in UTC.
std::string FileTimeText(std::uint64_t fileTime)
{
    const std::time_t seconds = std::time_t(fileTime / 10000000u) - 11644473600;
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                (std::string("quenlo_cfb_") + info->name() + "_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }

    void TearDown() override { fs::remove_all(m_dir); }

    fs::path WriteImage(const std::string &name, const std::vector<std::uint8_t> &image) const
    {
        const fs::path path = m_dir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(image.data()), std::streamsize(image.size()));
        return path;
    }

    RunResult Run(const std::string &command) const { return ::Run(command, m_dir / "stderr.txt"); }

    // Empty when the tool is there, else why not.
    std::string MissingOlefile() const
    {
        if (!fs::exists(kPython))
            return "/usr/bin/python3 is missing: install the Debian packages python3 and python3-olefile";
        if (Run(std::string(kPython) + " -c 'import olefile'").status != 0)
            return "olefile is missing for /usr/bin/python3: install the Debian package python3-olefile";
        return {};
    }

    std::string MissingGsf() const
    {
        if (Run("command -v gsf").status != 0)
            return "gsf is missing: install the Debian package libgsf-bin";
        return {};
    }

    void ExpectOlefileSees(const cfb::CompoundFile &file, const std::string &name) const
    {
        const fs::path path = WriteImage(name, file.Serialize());
        const std::string script = std::string(QUENLO_SOURCE_DIR) + "/tests/compoundfile/olefile_dump.py";
        const RunResult run = Run(std::string(kPython) + " " + ShellQuote(script) + " " + ShellQuote(path.string()));
        ASSERT_EQ(run.status, 0) << "olefile refused " << name << ":\n" << run.err;
        std::vector<std::string> expected{"root\t\t" + StorageFields(file.Root())};
        ExpectedLines(file.Root(), "", expected);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(SplitLines(run.out), expected) << name;
    }

    fs::path m_dir;
};

// The sample with more names and sizes: a hundred entries in one storage,
// non-ASCII names, a root class id.
void FillRich(cfb::CompoundFile &file, int version)
{
    file.version = version;
    FillSample(file);
    file.Root().clsid = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80,
                         0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0, 0x01};
    file.Root().modifiedTime = 0x01D5A1B2C3D4E5F6ull;
    file.Root().OpenStream(u"Script")->stateBits = 7;
    cfb::Storage *many = file.Root().CreateStorage(u"Many");
    for (int i = 0; i < 100; ++i)
        many->CreateStream(cfb::NameFromUtf8(Numbered("item ", std::uint64_t(i))))->Data() =
            Pattern(std::size_t(i * 53), unsigned(i));
    file.Root().CreateStream(u"caf\u00e9 \u00e9t\u00e9")->Data() = Pattern(4095, 9);
    for (std::size_t size : {63, 64, 65, 511, 512, 513, 4097})
        file.Root().CreateStream(cfb::NameFromUtf8(Numbered("size ", size)))->Data() = Pattern(size, unsigned(size));
}

} // namespace

TEST_F(Interop, OlefileReadsOurVersion3Files)
{
    const std::string missing = MissingOlefile();
    ASSERT_EQ(missing, "");
    cfb::CompoundFile rich;
    FillRich(rich, 3);
    ExpectOlefileSees(rich, "rich3.cfb");
    cfb::CompoundFile empty;
    ExpectOlefileSees(empty, "empty3.cfb");
}

TEST_F(Interop, OlefileReadsOurVersion4Files)
{
    const std::string missing = MissingOlefile();
    ASSERT_EQ(missing, "");
    cfb::CompoundFile rich;
    FillRich(rich, 4);
    ExpectOlefileSees(rich, "rich4.cfb");
    cfb::CompoundFile empty;
    empty.version = 4;
    ExpectOlefileSees(empty, "empty4.cfb");
}

TEST_F(Interop, OlefileReadsOurFilesWithDifatSectors)
{
    const std::string missing = MissingOlefile();
    ASSERT_EQ(missing, "");
    cfb::CompoundFile file;
    FillSample(file);
    file.Root().CreateStream(u"Huge")->Data() = Pattern(16u << 20, 21);
    ExpectOlefileSees(file, "difat.cfb");
}

TEST_F(Interop, GsfListsAndCatsOurFiles)
{
    const std::string missing = MissingGsf();
    ASSERT_EQ(missing, "");
    for (int version : {3, 4}) {
        cfb::CompoundFile file;
        FillRich(file, version);
        const fs::path path = WriteImage(Numbered("gsf", std::uint64_t(version)) + ".cfb", file.Serialize());

        const RunResult list = Run("TZ=UTC gsf list " + ShellQuote(path.string()));
        ASSERT_EQ(list.status, 0) << list.err;
        // "f  [date time]  size path", after a first line naming the file.
        const std::regex line(R"(^([df])\s+(?:(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)\s+)?(\d+) (.*)$)");
        std::set<std::string> listed;
        std::string subModified;
        for (const std::string &text : SplitLines(list.out)) {
            std::smatch m;
            if (!std::regex_match(text, m, line))
                continue;
            if (m[4] == "*root*")
                continue;
            listed.insert(m[1].str() + " " + m[3].str() + " " + m[4].str());
            if (m[4] == "Sub")
                subModified = m[2];
        }
        std::set<std::string> expected;
        const std::function<void(const cfb::Storage &, const std::string &)> collect =
            [&](const cfb::Storage &storage, const std::string &prefix) {
                for (const cfb::EntryInfo &info : storage.List()) {
                    const std::string name = prefix + cfb::NameToUtf8(info.name);
                    expected.insert((info.isStorage ? "d " : "f ") + std::to_string(info.size) + " " + name);
                    if (info.isStorage)
                        collect(*storage.OpenStorage(info.name), name + "/");
                }
            };
        collect(file.Root(), "");
        EXPECT_EQ(listed, expected) << list.out;
        EXPECT_EQ(subModified, FileTimeText(file.Root().OpenStorage(u"Sub")->modifiedTime));

        for (const char *name : {"Script", "Big", "Empty", "Icon", "Sub/Inner", "Sub/Large inner",
                                 "Sub/Deeper/Leaf", "Many/item 99", "size 4097"}) {
            const RunResult cat = Run("gsf cat " + ShellQuote(path.string()) + " " + ShellQuote(name));
            ASSERT_EQ(cat.status, 0) << name << ": " << cat.err;
            const cfb::Storage *storage = &file.Root();
            std::string rest = name;
            for (std::size_t slash; (slash = rest.find('/')) != std::string::npos; rest.erase(0, slash + 1))
                storage = storage->OpenStorage(cfb::NameFromUtf8(rest.substr(0, slash)));
            const std::vector<std::uint8_t> &data = storage->OpenStream(cfb::NameFromUtf8(rest))->Data();
            EXPECT_TRUE(std::vector<std::uint8_t>(cat.out.begin(), cat.out.end()) == data)
                << "v" << version << " " << name << ": " << cat.out.size() << " bytes from gsf, " << data.size()
                << " written";
        }
    }
}

TEST_F(Interop, WeReadWhatGsfWrites)
{
    const std::string missing = MissingGsf();
    ASSERT_EQ(missing, "");
    // Files and a folder tree for gsf to pack, one stream each.
    const std::vector<std::pair<std::string, std::size_t>> files = {
        {"small.txt", 100},        {"empty", 0},         {"exact4095", 4095},
        {"exact4096", 4096},       {"big.bin", 70000},   {"folder/inner.txt", 10},
        {"folder/nested/deep.bin", 5000}, {"folder/nested/mini", 64},
    };
    const fs::path input = m_dir / "input";
    unsigned seed = 0;
    for (const auto &[name, size] : files) {
        const fs::path path = input / name;
        fs::create_directories(path.parent_path());
        const std::vector<std::uint8_t> data = Pattern(size, ++seed);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(data.data()), std::streamsize(size));
    }
    const fs::path ole = m_dir / "packed.ole";
    const RunResult create = Run("cd " + ShellQuote(input.string()) + " && gsf createole " +
                                 ShellQuote(ole.string()) + " small.txt empty exact4095 exact4096 big.bin folder");
    ASSERT_EQ(create.status, 0) << create.err;

    cfb::CompoundFile file;
    std::string reason;
    ASSERT_TRUE(file.Load(ole.string(), reason)) << reason;
    EXPECT_EQ(file.version, 3);
    seed = 0;
    std::size_t streams = 0;
    for (const auto &[name, size] : files) {
        const cfb::Storage *storage = &file.Root();
        std::string rest = name;
        for (std::size_t slash; (slash = rest.find('/')) != std::string::npos; rest.erase(0, slash + 1)) {
            storage = storage->OpenStorage(cfb::NameFromUtf8(rest.substr(0, slash)));
            ASSERT_NE(storage, nullptr) << name;
        }
        const cfb::Stream *stream = storage->OpenStream(cfb::NameFromUtf8(rest));
        ASSERT_NE(stream, nullptr) << name;
        EXPECT_TRUE(stream->Data() == Pattern(size, ++seed)) << name;
        ++streams;
    }
    EXPECT_EQ(file.Root().List().size(), 6u);
    EXPECT_EQ(file.Root().OpenStorage(u"folder")->List().size(), 2u);
    EXPECT_EQ(streams, files.size());

    // And what we write from it again reads the same.
    cfb::CompoundFile again;
    ASSERT_EQ(ParseImage(file.Serialize(), again), "");
    EXPECT_TRUE(cfb::SameTree(file.Root(), again.Root()));
}
