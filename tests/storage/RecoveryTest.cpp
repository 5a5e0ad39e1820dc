// RecoveryTest.cpp: snapshot bytes, a window's slot, its lock and the claims on orphans.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "storage/uRecovery.h"
#include "storage/uStorage.h"

namespace fs = std::filesystem;

namespace {

TRecoverySnapshot RandomSnapshot(std::mt19937 &random)
{
    auto bytes = [&](std::size_t most) {
        std::string s(std::uniform_int_distribution<std::size_t>(0, most)(random), '\0');
        for (char &c : s)
            c = char(std::uniform_int_distribution<int>(0, 255)(random));
        return s;
    };
    TRecoverySnapshot s;
    s.FileName = bytes(40);
    s.Name = bytes(10);
    s.Menu = bytes(10);
    s.ID = bytes(10);
    s.Hint = bytes(10);
    s.Main = bytes(10);
    const std::string icon = bytes(30);
    s.Icon.assign(icon.begin(), icon.end());
    s.Lines.resize(std::uniform_int_distribution<std::size_t>(0, 12)(random));
    for (std::string &line : s.Lines)
        line = bytes(20);
    s.CaretX = std::uniform_int_distribution<int>(1, 500)(random);
    s.CaretY = std::uniform_int_distribution<int>(1, 500)(random);
    s.TopLine = std::uniform_int_distribution<int>(1, 500)(random);
    return s;
}

std::vector<std::uint8_t> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Recovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = (fs::temp_directory_path() / ("quenlo-recovery-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                     .string();
        fs::remove_all(folder);
    }
    void TearDown() override
    {
        SetStorageFaultInjector({});
        fs::remove_all(folder);
    }
    std::size_t Files() const
    {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto &entry : fs::directory_iterator(folder))
            ++n;
        return n;
    }
    std::string folder;
};

} // namespace

TEST(RecoverySnapshot, RoundTripsAndRefusesEveryTornOrChangedByte)
{
    std::mt19937 random(25);
    for (int round = 0; round < 200; ++round) {
        const TRecoverySnapshot snapshot = RandomSnapshot(random);
        const std::vector<std::uint8_t> bytes = SerializeSnapshot(snapshot);
        TRecoverySnapshot back;
        std::string reason;
        ASSERT_TRUE(ParseSnapshot(bytes.data(), bytes.size(), back, reason)) << reason;
        ASSERT_EQ(back, snapshot);
        // A snapshot cut anywhere (as a torn write would leave it) is refused.
        const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random);
        EXPECT_FALSE(ParseSnapshot(bytes.data(), cut, back, reason)) << "cut at " << cut;
        // So is one with a changed byte, and the reason says so.
        std::vector<std::uint8_t> changed = bytes;
        changed[std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random)] ^=
            std::uint8_t(std::uniform_int_distribution<int>(1, 255)(random));
        reason.clear();
        EXPECT_FALSE(ParseSnapshot(changed.data(), changed.size(), back, reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(back, snapshot); // untouched by the failures
    }
}

TEST_F(Recovery, ASlotIsNoOrphanWhileItsWindowLivesAndGoesAwayOnACleanClose)
{
    TRecoverySnapshot snapshot;
    snapshot.Lines = {"Sub Main", "  x = 1", "End Sub"};
    std::string reason;
    {
        TRecoverySlot slot;
        ASSERT_TRUE(slot.Open(folder, reason)) << reason;
        ASSERT_TRUE(slot.Write(snapshot, reason)) << reason;
        EXPECT_EQ(fs::status(slot.SnapshotPath()).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_TRUE(ClaimOrphanSnapshots(folder).empty()); // its lock is held
        slot.Remove();
        EXPECT_FALSE(fs::exists(slot.SnapshotPath()));
        ASSERT_TRUE(slot.Write(snapshot, reason));
    }
    EXPECT_EQ(Files(), 0u); // snapshot and lock file both gone
}

TEST_F(Recovery, AnAbandonedSnapshotIsClaimedOnceAndKeptUntilDeleted)
{
    TRecoverySnapshot snapshot;
    snapshot.FileName = "/somewhere/a.tvs";
    snapshot.Lines = {"typed before the crash"};
    std::string reason;
    std::string path;
    {
        TRecoverySlot slot;
        ASSERT_TRUE(slot.Open(folder, reason)) << reason;
        ASSERT_TRUE(slot.Write(snapshot, reason)) << reason;
        path = slot.SnapshotPath();
        slot.Abandon(); // as when the process dies
    }
    ASSERT_TRUE(fs::exists(path));
    {
        std::vector<TRecoveryClaim> claims = ClaimOrphanSnapshots(folder);
        ASSERT_EQ(claims.size(), 1u);
        EXPECT_EQ(claims[0].SnapshotPath(), path);
        // A second Quenlo starting meanwhile is not offered the same snapshot.
        EXPECT_TRUE(ClaimOrphanSnapshots(folder).empty());
        TRecoverySnapshot back;
        ASSERT_TRUE(claims[0].Read(back, reason)) << reason;
        EXPECT_EQ(back, snapshot);
    } // Later: released, kept
    std::vector<TRecoveryClaim> claims = ClaimOrphanSnapshots(folder);
    ASSERT_EQ(claims.size(), 1u);
    claims[0].Delete();
    EXPECT_EQ(Files(), 0u);
}

TEST_F(Recovery, AnUnreadableSnapshotIsKeptAsideAndALoneLockIsCleared)
{
    fs::create_directories(folder);
    std::ofstream(fs::path(folder) / "1-dead.snapshot") << "half a snapshot";
    std::ofstream(fs::path(folder) / "2-dead.lock") << "";
    std::vector<TRecoveryClaim> claims = ClaimOrphanSnapshots(folder);
    ASSERT_EQ(claims.size(), 1u);
    TRecoverySnapshot back;
    std::string reason;
    EXPECT_FALSE(claims[0].Read(back, reason));
    EXPECT_EQ(reason, "not a recovery snapshot");
    const std::string aside = claims[0].KeepAside();
    EXPECT_EQ(aside, (fs::path(folder) / "1-dead.snapshot.unreadable").string());
    EXPECT_EQ(ReadFile(aside), (std::vector<std::uint8_t>{'h', 'a', 'l', 'f', ' ', 'a', ' ', 's', 'n', 'a', 'p', 's',
                                                          'h', 'o', 't'}));
    EXPECT_FALSE(fs::exists(fs::path(folder) / "2-dead.lock"));
    EXPECT_TRUE(ClaimOrphanSnapshots(folder).empty()); // not offered again
    EXPECT_EQ(Files(), 1u);
}

TEST_F(Recovery, AFailedWriteAtAnyStepKeepsThePreviousSnapshot)
{
    TRecoverySnapshot first, second;
    first.Lines = {"first"};
    second.Lines = {"second", "longer"};
    std::string reason;
    TRecoverySlot slot;
    ASSERT_TRUE(slot.Open(folder, reason)) << reason;
    ASSERT_TRUE(slot.Write(first, reason));
    const auto before = ReadFile(slot.SnapshotPath());
    for (const char *step : {"create", "write", "write-full", "chmod", "sync", "rename"}) {
        SetStorageFaultInjector([step](std::string_view s) { return s == step; });
        reason.clear();
        EXPECT_FALSE(slot.Write(second, reason)) << step;
        EXPECT_FALSE(reason.empty()) << step;
        EXPECT_EQ(ReadFile(slot.SnapshotPath()), before) << step;
        EXPECT_EQ(Files(), 2u) << "a temporary file was left after a fault at " << step;
        if (std::string_view(step) == "write-full") {
            EXPECT_NE(reason.find("No space left on device"), std::string::npos) << reason;
        }
    }
    SetStorageFaultInjector({});
    ASSERT_TRUE(slot.Write(second, reason)) << reason;
}

TEST_F(Recovery, AFolderThatCannotBeMadeIsAReasonNotACrash)
{
    fs::create_directories(folder);
    std::ofstream(fs::path(folder) / "file") << "in the way";
    TRecoverySlot slot;
    std::string reason;
    EXPECT_FALSE(slot.Open((fs::path(folder) / "file" / "recovery").string(), reason));
    EXPECT_FALSE(slot.IsOpen());
    EXPECT_NE(reason.find("cannot create the folder"), std::string::npos) << reason;
    reason.clear();
    EXPECT_FALSE(slot.Write(TRecoverySnapshot{}, reason));
    EXPECT_FALSE(reason.empty());
}
