// Registry.cpp: registry keys and values mapped onto QSettings groups and entries.
#include "toolkit/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "toolkit/Win1252.h"

namespace {

QString g_storageOverride;

const QString kDwordPrefix = QStringLiteral("dword:");
const QString kStringPrefix = QStringLiteral("sz:");

#ifdef Q_OS_WIN
constexpr bool kNativeRegistry = true;
#else
constexpr bool kNativeRegistry = false;
#endif

bool UseRegistry()
{
    return kNativeRegistry && g_storageOverride.isEmpty();
}

QString ToQt(const std::string &text)
{
    return Win1252::ToUnicode(text);
}

[[noreturn]] void RaiseInvalidType(const std::string &name)
{
    throw ERegistryException("Invalid data type for '" + name + "'");
}

// Names QSettings would split or that would leave the settings folder.
bool ValidName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QStringList ChildGroups(QSettings &settings, const QString &group)
{
    if (group.isEmpty())
        return settings.childGroups();
    settings.beginGroup(group);
    QStringList groups = settings.childGroups();
    settings.endGroup();
    return groups;
}

QString FindCaseless(const QStringList &names, const QString &name)
{
    for (const QString &candidate : names)
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    return {};
}

QString Join(const QString &group, const QString &name)
{
    return group.isEmpty() ? name : group + QLatin1Char('/') + name;
}

// What a stored value holds.
struct TStoredValue {
    enum { svInteger, svString, svOther } kind = svOther;
    std::int32_t integer = 0;
    QString text;
};

TStoredValue Classify(const QVariant &value, bool registry)
{
    TStoredValue result;
    const int type = value.typeId();
    if (registry) {
        if (type == QMetaType::Int || type == QMetaType::UInt) {
            result.kind = TStoredValue::svInteger;
            result.integer = std::int32_t(std::uint32_t(value.toLongLong()));
        } else if (type == QMetaType::QString) {
            result.kind = TStoredValue::svString;
            result.text = value.toString();
        }
        return result;
    }
    // A settings file holds text; a hand-edited list with commas comes back split.
    if (type != QMetaType::QString && type != QMetaType::QStringList)
        return result;
    const QString text = type == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                         : value.toString();
    if (text.startsWith(kDwordPrefix)) {
        const QString digits = text.mid(kDwordPrefix.size());
        bool ok = false;
        const uint bits = digits.toUInt(&ok, 16);
        if (ok && digits.size() == 8) {
            result.kind = TStoredValue::svInteger;
            result.integer = std::int32_t(bits);
        }
        return result;
    }
    result.kind = TStoredValue::svString;
    result.text = text.startsWith(kStringPrefix) ? text.mid(kStringPrefix.size()) : text;
    return result;
}

} // namespace

// A store (the registry, or one application's settings file) with the
// settings object that a registry object reads and writes it through.
// QSettings objects of one file share its parsed contents and its unwritten
// changes within the process, so every reader sees them at once.
struct TRegistry::TStore {
    // The storage override, vendor and application of a file; empty for the registry.
    QStringList identity;
    std::unique_ptr<QSettings> settings;
    bool registry = false;
    // Changes made since the store was last written out, the first of them named.
    bool unsaved = false;
    std::string firstUnsaved;
};

struct TRegistry::TLocation {
    // Null for a key that holds no values ("Software", "Software\Vendor").
    std::shared_ptr<TStore> store;
    // The key inside the store, names in their stored letter case where they exist.
    QString group;
};

TRegistry::TRegistry(TRootKey rootKey) : m_rootKey(rootKey) {}

TRegistry::~TRegistry()
{
    // Nothing can be raised from here: what cannot be written is lost, as
    // CloseKey would have reported.
    if (m_current && m_current->store && m_current->store->unsaved)
        m_current->store->settings->sync();
}

void TRegistry::SetRootKey(TRootKey rootKey)
{
    if (rootKey == m_rootKey)
        return;
    CloseKey();
    m_rootKey = rootKey;
}

void TRegistry::SetStorageOverride(const QString &directory)
{
    g_storageOverride = directory;
}

QString TRegistry::StorageOverride()
{
    return g_storageOverride;
}

std::string TRegistry::ResolvePath(const std::string &key) const
{
    std::string path = key;
    const bool relative = path.empty() || path.front() != '\\';
    if (!relative)
        path.erase(0, 1);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    if (relative && m_open && !m_currentPath.empty())
        path = path.empty() ? m_currentPath : m_currentPath + '\\' + path;
    return path;
}

// The store of an application's settings file (vendor and application are
// ignored for the registry), the last one again while it names the same.
std::shared_ptr<TRegistry::TStore> TRegistry::StoreOf(const QString &vendor, const QString &application) const
{
    const bool registry = UseRegistry();
    const QStringList identity = registry ? QStringList() : QStringList{g_storageOverride, vendor, application};
    if (m_lastStore && m_lastStore->registry == registry && m_lastStore->identity == identity)
        return m_lastStore;
    auto store = std::make_shared<TStore>();
    store->identity = identity;
    store->registry = registry;
    if (registry)
        store->settings = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER"), QSettings::NativeFormat);
    else if (g_storageOverride.isEmpty())
        store->settings =
            std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, vendor, application);
    else
        store->settings = std::make_unique<QSettings>(g_storageOverride + QLatin1Char('/') + vendor +
                                                          QLatin1Char('/') + application + QStringLiteral(".ini"),
                                                      QSettings::IniFormat);
    store->settings->setFallbacksEnabled(false);
    m_lastStore = store;
    return store;
}

// Null when the path cannot name a key here; otherwise the location, whose
// group may not exist yet.
std::unique_ptr<TRegistry::TLocation> TRegistry::Locate(const std::string &absolutePath) const
{
    QStringList names;
    if (!absolutePath.empty())
        names = ToQt(absolutePath).split(QLatin1Char('\\'));
    for (const QString &name : names)
        if (!ValidName(name))
            return nullptr;

    auto location = std::make_unique<TLocation>();
    QStringList groupNames = names;
    if (UseRegistry()) {
        location->store = StoreOf({}, {});
    } else {
        if (!names.isEmpty() && names[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
            return nullptr;
        if (names.size() < 3)
            return location;
        const QString &vendor = names[1];
        const QString &application = names[2];
        if (vendor == QLatin1String("..") || vendor == QLatin1String(".") ||
            application == QLatin1String("..") || application == QLatin1String("."))
            return nullptr;
        location->store = StoreOf(vendor, application);
        groupNames = names.mid(3);
    }

    QString group;
    for (const QString &name : groupNames) {
        const QString stored = FindCaseless(ChildGroups(*location->store->settings, group), name);
        group = Join(group, stored.isEmpty() ? name : stored);
    }
    location->group = group;
    return location;
}

namespace {

// The folder of a vendor's settings files, for the key "Software\Vendor".
QString VendorFolder(const QString &vendor)
{
    if (!g_storageOverride.isEmpty())
        return g_storageOverride + QLatin1Char('/') + vendor;
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, vendor, QStringLiteral("probe"));
    return QFileInfo(probe.fileName()).absolutePath();
}

} // namespace

bool TRegistry::KeyExists(const std::string &key) const
{
    const std::string path = ResolvePath(key);
    const std::unique_ptr<TLocation> location = Locate(path);
    return location && Exists(*location, path);
}

// Whether the key at location, found for the absolute path, exists.
bool TRegistry::Exists(const TLocation &location, const std::string &absolutePath) const
{
    if (!location.store) {
        const QStringList names = ToQt(absolutePath).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        return names.size() < 2 || QDir(VendorFolder(names[1])).exists();
    }
    QSettings &settings = *location.store->settings;
    if (location.group.isEmpty())
        return location.store->registry || !settings.allKeys().isEmpty();
    const qsizetype slash = location.group.lastIndexOf(QLatin1Char('/'));
    const QString parent = slash < 0 ? QString() : location.group.left(slash);
    const QString name = location.group.mid(slash + 1);
    return ChildGroups(settings, parent).contains(name);
}

bool TRegistry::OpenKey(const std::string &key, bool canCreate)
{
    return OpenKeyWithAccess(key, canCreate, false);
}

bool TRegistry::OpenKeyWithAccess(const std::string &key, bool canCreate, bool readOnly)
{
    const std::string path = ResolvePath(key);
    std::unique_ptr<TLocation> location = Locate(path);
    if (!location)
        return false;
    // A settings file creates a key with its first value, so creating always succeeds.
    if (!canCreate && !Exists(*location, path))
        return false;
    // Keys of one store share its pending changes; leaving the store writes them.
    if (m_current && m_current->store && m_current->store != location->store)
        Flush(*m_current->store);
    ReleaseKey();
    m_current = std::move(location);
    m_currentPath = path;
    m_open = true;
    m_readOnly = readOnly;
    return true;
}

void TRegistry::ReleaseKey() noexcept
{
    m_current.reset();
    m_currentPath.clear();
    m_open = false;
    m_readOnly = false;
}

void TRegistry::CloseKey()
{
    const std::shared_ptr<TStore> store = m_current ? m_current->store : nullptr;
    ReleaseKey();
    if (store)
        Flush(*store);
}

void TRegistry::Flush(TStore &store)
{
    if (!store.unsaved)
        return;
    const std::string name = std::move(store.firstUnsaved);
    store.unsaved = false;
    store.firstUnsaved.clear();
    store.settings->sync();
    if (store.settings->status() != QSettings::NoError) {
        // A settings object keeps its error; the next key gets a fresh one.
        if (m_lastStore.get() == &store)
            m_lastStore.reset();
        throw ERegistryException("Failed to set data for '" + name + "'");
    }
}

bool TRegistry::DeleteKey(const std::string &key)
{
    if (!KeyExists(key))
        return false;
    const std::unique_ptr<TLocation> location = Locate(ResolvePath(key));
    if (!location || !location->store)
        return false;
    TStore &store = *location->store;
    store.settings->remove(location->group);
    store.settings->sync(); // with the store's pending changes
    if (store.settings->status() != QSettings::NoError)
        return false;
    store.unsaved = false;
    store.firstUnsaved.clear();
    return true;
}

QString TRegistry::ValueKey(const std::string &name) const
{
    if (!m_current || !m_current->store)
        return {};
    const QString wanted = ToQt(name);
    if (!ValidName(wanted))
        return {};
    QSettings &settings = *m_current->store->settings;
    QStringList keys;
    if (m_current->group.isEmpty()) {
        keys = settings.childKeys();
    } else {
        settings.beginGroup(m_current->group);
        keys = settings.childKeys();
        settings.endGroup();
    }
    const QString stored = FindCaseless(keys, wanted);
    return Join(m_current->group, stored.isEmpty() ? wanted : stored);
}

// The key of the named value when it exists, else empty.
QString TRegistry::ExistingValueKey(const std::string &name) const
{
    const QString key = ValueKey(name);
    return !key.isEmpty() && m_current->store->settings->contains(key) ? key : QString();
}

bool TRegistry::ValueExists(const std::string &name) const
{
    return !ExistingValueKey(name).isEmpty();
}

// Whether the current key's store may take a change now: the first change
// since the store was written needs a file that opens for writing (a new file
// is written with that change instead, see Changed) or a writable registry key.
bool TRegistry::CanChange() const
{
    const TStore &store = *m_current->store;
    if (store.unsaved || (!store.registry && !QFileInfo::exists(store.settings->fileName())))
        return true;
    return store.settings->isWritable();
}

// After a change of the named value in the current key's store: a new file is
// written at once, which creates it; any other change waits for Flush. False
// when the store reports a failure (the registry does so at once).
bool TRegistry::Changed(const std::string &name)
{
    TStore &store = *m_current->store;
    QSettings &settings = *store.settings;
    const bool newFile = !store.unsaved && !store.registry && !QFileInfo::exists(settings.fileName());
    if (newFile)
        settings.sync();
    if (settings.status() != QSettings::NoError)
        return false; // raised for this change, not again when the key closes
    if (!newFile && !store.unsaved) {
        store.unsaved = true;
        store.firstUnsaved = name;
    }
    return true;
}

bool TRegistry::DeleteValue(const std::string &name)
{
    if (m_readOnly || !ValueExists(name) || !CanChange())
        return false;
    m_current->store->settings->remove(ValueKey(name));
    return Changed(name);
}

std::int32_t TRegistry::ReadInteger(const std::string &name) const
{
    const QString key = ExistingValueKey(name);
    if (key.isEmpty())
        throw ERegistryException("Failed to get data for '" + name + "'");
    const TStore &store = *m_current->store;
    const TStoredValue value = Classify(store.settings->value(key), store.registry);
    if (value.kind != TStoredValue::svInteger)
        RaiseInvalidType(name);
    return value.integer;
}

std::string TRegistry::ReadString(const std::string &name) const
{
    const QString key = ExistingValueKey(name);
    if (key.isEmpty())
        return {};
    const TStore &store = *m_current->store;
    const TStoredValue value = Classify(store.settings->value(key), store.registry);
    if (value.kind != TStoredValue::svString)
        RaiseInvalidType(name);
    return Win1252::FromUnicodeDropping(value.text);
}

void TRegistry::CheckWritable(const std::string &name) const
{
    if (!m_open || m_readOnly || !m_current->store || ValueKey(name).isEmpty())
        throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::Store(const std::string &name, const QVariant &stored)
{
    CheckWritable(name);
    if (!CanChange())
        throw ERegistryException("Failed to set data for '" + name + "'");
    m_current->store->settings->setValue(ValueKey(name), stored);
    if (!Changed(name))
        throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::WriteInteger(const std::string &name, std::int32_t value)
{
    if (m_current && m_current->store && m_current->store->registry)
        Store(name, QVariant(int(value)));
    else
        Store(name, kDwordPrefix + QStringLiteral("%1").arg(std::uint32_t(value), 8, 16, QLatin1Char('0')));
}

void TRegistry::WriteString(const std::string &name, const std::string &value)
{
    QString text = ToQt(value);
    if (!m_current || !m_current->store || !m_current->store->registry)
        if (text.startsWith(kDwordPrefix) || text.startsWith(kStringPrefix))
            text.prepend(kStringPrefix);
    Store(name, text);
}

QString TRegistry::StorageFileName() const
{
    if (!m_current || !m_current->store || m_current->store->registry)
        return {};
    return m_current->store->settings->fileName();
}

bool TBetterRegistry::OpenKeyReadOnly(const std::string &key)
{
    return OpenKeyWithAccess(key, false, true);
}
