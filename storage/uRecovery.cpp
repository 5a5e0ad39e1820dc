// uRecovery.cpp: the snapshot file format, the window's slot and its lock.
#include "storage/uRecovery.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/FileAccess.h"
#include "storage/uStorage.h"

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[16] = {'Q', 'U', 'E', 'N', 'L', 'O', ' ', 'R', 'E', 'C', 'O', 'V', 'E', 'R', 'Y', '\n'};
constexpr std::uint32_t kVersion = 1;
// Snapshots are the user's unsaved work: readable by the user only.
constexpr unsigned kSnapshotMode = 0600;

std::uint64_t Checksum(const std::uint8_t *data, std::size_t size) noexcept
{
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a, 64 bits
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

class TWriter {
public:
    void U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(std::uint8_t(v >> (8 * i)));
    }
    void U64(std::uint64_t v)
    {
        for (int i = 0; i < 8; ++i)
            m_out.push_back(std::uint8_t(v >> (8 * i)));
    }
    template <class Bytes> void Field(const Bytes &bytes)
    {
        U32(std::uint32_t(bytes.size()));
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> &Out() noexcept { return m_out; }

private:
    std::vector<std::uint8_t> m_out;
};

// Reads what TWriter wrote; every read fails once the bytes run out.
class TReader {
public:
    TReader(const std::uint8_t *data, std::size_t size) noexcept : m_data(data), m_left(size) {}
    bool U32(std::uint32_t &v) noexcept
    {
        if (m_left < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(m_data[i]) << (8 * i);
        Skip(4);
        return true;
    }
    bool Int(int &v) noexcept
    {
        std::uint32_t u = 0;
        if (!U32(u) || u > std::uint32_t(INT32_MAX))
            return false;
        v = int(u);
        return true;
    }
    template <class Bytes> bool Field(Bytes &bytes)
    {
        std::uint32_t n = 0;
        if (!U32(n) || n > m_left)
            return false;
        bytes.assign(m_data, m_data + n);
        Skip(n);
        return true;
    }
    std::size_t Left() const noexcept { return m_left; }

private:
    void Skip(std::size_t n) noexcept
    {
        m_data += n;
        m_left -= n;
    }
    const std::uint8_t *m_data;
    std::size_t m_left;
};

std::string Join(const std::string &folder, const std::string &name)
{
    return (fs::path(folder) / name).string();
}

bool EndsWith(const std::string &s, std::string_view suffix)
{
    return s.size() > suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string NewId()
{
    std::random_device device;
    const std::uint64_t random = (std::uint64_t(device()) << 32) | device();
    char text[48];
    std::snprintf(text, sizeof text, "%ld-%016llx", long(::getpid()), static_cast<unsigned long long>(random));
    return text;
}

// An exclusive lock without waiting; false when another holder has it.
bool TryLock(int fd) noexcept
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

} // namespace

std::vector<std::uint8_t> SerializeSnapshot(const TRecoverySnapshot &snapshot)
{
    TWriter w;
    w.Out().insert(w.Out().end(), std::begin(kMagic), std::end(kMagic));
    w.U32(kVersion);
    for (const std::string *s : {&snapshot.FileName, &snapshot.Name, &snapshot.Menu, &snapshot.ID, &snapshot.Hint,
                                 &snapshot.Main})
        w.Field(*s);
    w.Field(snapshot.Icon);
    w.U32(std::uint32_t(snapshot.Lines.size()));
    for (const std::string &line : snapshot.Lines)
        w.Field(line);
    for (int v : {snapshot.CaretX, snapshot.CaretY, snapshot.TopLine})
        w.U32(std::uint32_t(std::max(v, 0)));
    w.U64(Checksum(w.Out().data(), w.Out().size()));
    return std::move(w.Out());
}

bool ParseSnapshot(const std::uint8_t *data, std::size_t size, TRecoverySnapshot &snapshot, std::string &reason)
{
    constexpr std::size_t kSum = 8;
    if (size < sizeof kMagic + 4 + kSum || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
        reason = "not a recovery snapshot";
        return false;
    }
    std::uint64_t stored = 0;
    for (std::size_t i = 0; i < kSum; ++i)
        stored |= std::uint64_t(data[size - kSum + i]) << (8 * i);
    if (stored != Checksum(data, size - kSum)) {
        reason = "the snapshot is damaged (its checksum does not match)";
        return false;
    }
    TReader r(data + sizeof kMagic, size - sizeof kMagic - kSum);
    std::uint32_t version = 0;
    r.U32(version);
    if (version != kVersion) {
        reason = "snapshot version " + std::to_string(version) + " is not known to this Quenlo";
        return false;
    }
    TRecoverySnapshot read;
    bool ok = true;
    for (std::string *s : {&read.FileName, &read.Name, &read.Menu, &read.ID, &read.Hint, &read.Main})
        ok = ok && r.Field(*s);
    ok = ok && r.Field(read.Icon);
    std::uint32_t lines = 0;
    // Each line takes at least its 4-byte length.
    ok = ok && r.U32(lines) && lines <= r.Left() / 4;
    if (ok)
        read.Lines.resize(lines);
    for (std::uint32_t i = 0; ok && i < lines; ++i)
        ok = r.Field(read.Lines[i]);
    ok = ok && r.Int(read.CaretX) && r.Int(read.CaretY) && r.Int(read.TopLine) && r.Left() == 0;
    if (!ok) {
        reason = "the snapshot is damaged (a field runs past its end)";
        return false;
    }
    snapshot = std::move(read);
    return true;
}

TRecoverySlot::~TRecoverySlot()
{
    if (!IsOpen())
        return;
    Remove();
    ::unlink(m_lockPath.c_str());
    ::close(m_lock); // releases the lock
}

bool TRecoverySlot::Open(const std::string &folder, std::string &reason)
{
    if (IsOpen())
        return true;
    std::error_code error;
    // A folder made here is the user's only, as the snapshots in it are.
    if (fs::create_directories(folder, error))
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    if (error) {
        reason = "cannot create the folder '" + folder + "': " + error.message();
        return false;
    }
    const std::string id = NewId();
    // Locked under a temporary name, then renamed: a lock file of an id is
    // never seen unlocked while its window lives.
    const std::string temp = Join(folder, "." + id + kLockSuffix);
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        reason = "cannot create a file in '" + folder + "': " + std::strerror(errno);
        return false;
    }
    const std::string lockPath = Join(folder, id + kLockSuffix);
    if (!TryLock(fd) || ::rename(temp.c_str(), lockPath.c_str()) != 0) {
        reason = "cannot lock a file in '" + folder + "': " + std::strerror(errno);
        ::unlink(temp.c_str());
        ::close(fd);
        return false;
    }
    m_lock = fd;
    m_lockPath = lockPath;
    m_snapshot = Join(folder, id + kSnapshotSuffix);
    return true;
}

bool TRecoverySlot::Write(const TRecoverySnapshot &snapshot, std::string &reason)
{
    if (!IsOpen()) {
        reason = "no recovery folder";
        return false;
    }
    if (!storage_detail::WriteFileAtomically(m_snapshot, SerializeSnapshot(snapshot), true, kSnapshotMode, reason))
        return false;
    m_written = true;
    return true;
}

void TRecoverySlot::Remove()
{
    if (IsOpen())
        ::unlink(m_snapshot.c_str());
    m_written = false;
}

void TRecoverySlot::Abandon()
{
    if (!IsOpen())
        return;
    ::close(m_lock);
    m_lock = -1;
    m_written = false;
}

TRecoveryClaim::TRecoveryClaim(TRecoveryClaim &&other) noexcept
    : m_lock(std::exchange(other.m_lock, -1)), m_lockPath(std::move(other.m_lockPath)),
      m_snapshot(std::move(other.m_snapshot))
{
}

TRecoveryClaim &TRecoveryClaim::operator=(TRecoveryClaim &&other) noexcept
{
    if (this != &other) {
        Release();
        m_lock = std::exchange(other.m_lock, -1);
        m_lockPath = std::move(other.m_lockPath);
        m_snapshot = std::move(other.m_snapshot);
    }
    return *this;
}

TRecoveryClaim::~TRecoveryClaim()
{
    Release();
}

void TRecoveryClaim::Release()
{
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
}

bool TRecoveryClaim::Read(TRecoverySnapshot &snapshot, std::string &reason) const
{
    storage_detail::TLockedFile file;
    std::vector<std::uint8_t> bytes;
    // A snapshot holds a script and a little more.
    if (!file.Open(m_snapshot, reason) ||
        !file.ReadAll(bytes, TScript::kMaxScriptFile, "largest recovery snapshot", reason))
        return false;
    return ParseSnapshot(bytes.data(), bytes.size(), snapshot, reason);
}

void TRecoveryClaim::Delete()
{
    if (m_lock < 0)
        return;
    ::unlink(m_snapshot.c_str());
    ::unlink(m_lockPath.c_str());
    Release();
}

std::string TRecoveryClaim::KeepAside()
{
    if (m_lock < 0)
        return m_snapshot;
    const std::string aside = m_snapshot + kUnreadableSuffix;
    if (::rename(m_snapshot.c_str(), aside.c_str()) != 0) {
        Release();
        return m_snapshot;
    }
    ::unlink(m_lockPath.c_str());
    Release();
    return aside;
}

std::vector<TRecoveryClaim> ClaimOrphanSnapshots(const std::string &folder)
{
    std::vector<std::pair<fs::file_time_type, TRecoveryClaim>> found;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const bool snapshot = EndsWith(name, kSnapshotSuffix);
        const bool lock = EndsWith(name, kLockSuffix) && name[0] != '.';
        if (!snapshot && !lock)
            continue;
        const std::string id = name.substr(0, name.size() - (snapshot ? std::strlen(kSnapshotSuffix)
                                                                      : std::strlen(kLockSuffix)));
        const std::string lockPath = Join(folder, id + kLockSuffix);
        const std::string snapshotPath = Join(folder, id + kSnapshotSuffix);
        if (lock && ::access(snapshotPath.c_str(), F_OK) == 0)
            continue; // met as its snapshot
        // A window that died before taking its lock's name leaves none.
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            continue;
        if (!TryLock(fd)) {
            ::close(fd); // its window is running
            continue;
        }
        if (lock) {
            ::unlink(lockPath.c_str()); // left by a window that died with nothing unsaved
            ::close(fd);
            continue;
        }
        TRecoveryClaim claim;
        claim.m_lock = fd;
        claim.m_lockPath = lockPath;
        claim.m_snapshot = snapshotPath;
        std::error_code timeError;
        const fs::file_time_type time = fs::last_write_time(entry.path(), timeError);
        found.emplace_back(time, std::move(claim));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<TRecoveryClaim> claims;
    for (auto &item : found)
        claims.push_back(std::move(item.second));
    return claims;
}
