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

struct TRegistry::TLocation {
    // Null for a key that holds no values ("Software", "Software\Vendor").
    std::unique_ptr<QSettings> settings;
    // The key inside settings, names in their stored letter case where they exist.
    QString group;
    bool registry = false;
};

TRegistry::TRegistry(TRootKey rootKey) : m_rootKey(rootKey) {}

TRegistry::~TRegistry() = default;

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
        location->registry = true;
        location->settings = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER"),
                                                         QSettings::NativeFormat);
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
        if (g_storageOverride.isEmpty())
            location->settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                             vendor, application);
        else
            location->settings = std::make_unique<QSettings>(
                g_storageOverride + QLatin1Char('/') + vendor + QLatin1Char('/') + application +
                    QStringLiteral(".ini"),
                QSettings::IniFormat);
        groupNames = names.mid(3);
    }
    location->settings->setFallbacksEnabled(false);

    QString group;
    for (const QString &name : groupNames) {
        const QString stored = FindCaseless(ChildGroups(*location->settings, group), name);
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
    if (!location)
        return false;
    if (!location->settings) {
        const QStringList names = ToQt(path).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        return names.size() < 2 || QDir(VendorFolder(names[1])).exists();
    }
    QSettings &settings = *location->settings;
    if (location->group.isEmpty())
        return location->registry || !settings.allKeys().isEmpty();
    const qsizetype slash = location->group.lastIndexOf(QLatin1Char('/'));
    const QString parent = slash < 0 ? QString() : location->group.left(slash);
    const QString name = location->group.mid(slash + 1);
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
    if (!canCreate && !KeyExists('\\' + path))
        return false;
    CloseKey();
    m_current = std::move(location);
    m_currentPath = path;
    m_open = true;
    m_readOnly = readOnly;
    return true;
}

void TRegistry::CloseKey()
{
    if (m_current && m_current->settings && !m_readOnly)
        m_current->settings->sync();
    m_current.reset();
    m_currentPath.clear();
    m_open = false;
    m_readOnly = false;
}

bool TRegistry::DeleteKey(const std::string &key)
{
    if (!KeyExists(key))
        return false;
    const std::unique_ptr<TLocation> location = Locate(ResolvePath(key));
    if (!location || !location->settings)
        return false;
    location->settings->remove(location->group);
    location->settings->sync();
    return location->settings->status() == QSettings::NoError;
}

QString TRegistry::ValueKey(const std::string &name) const
{
    if (!m_current || !m_current->settings)
        return {};
    const QString wanted = ToQt(name);
    if (!ValidName(wanted))
        return {};
    QSettings &settings = *m_current->settings;
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

bool TRegistry::ValueExists(const std::string &name) const
{
    const QString key = ValueKey(name);
    return !key.isEmpty() && m_current->settings->contains(key);
}

bool TRegistry::DeleteValue(const std::string &name)
{
    if (!ValueExists(name) || m_readOnly)
        return false;
    m_current->settings->remove(ValueKey(name));
    m_current->settings->sync();
    return m_current->settings->status() == QSettings::NoError;
}

std::int32_t TRegistry::ReadInteger(const std::string &name) const
{
    if (!ValueExists(name))
        throw ERegistryException("Failed to get data for '" + name + "'");
    const TStoredValue value = Classify(m_current->settings->value(ValueKey(name)), m_current->registry);
    if (value.kind != TStoredValue::svInteger)
        RaiseInvalidType(name);
    return value.integer;
}

std::string TRegistry::ReadString(const std::string &name) const
{
    if (!ValueExists(name))
        return {};
    const TStoredValue value = Classify(m_current->settings->value(ValueKey(name)), m_current->registry);
    if (value.kind != TStoredValue::svString)
        RaiseInvalidType(name);
    return Win1252::FromUnicodeDropping(value.text);
}

void TRegistry::CheckWritable(const std::string &name) const
{
    if (!m_open || m_readOnly || !m_current->settings || ValueKey(name).isEmpty())
        throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::Store(const std::string &name, const QString &stored, std::int32_t value, bool isInteger)
{
    CheckWritable(name);
    QSettings &settings = *m_current->settings;
    if (m_current->registry && isInteger)
        settings.setValue(ValueKey(name), QVariant(int(value)));
    else
        settings.setValue(ValueKey(name), stored);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::WriteInteger(const std::string &name, std::int32_t value)
{
    Store(name, kDwordPrefix + QStringLiteral("%1").arg(std::uint32_t(value), 8, 16, QLatin1Char('0')), value,
          true);
}

void TRegistry::WriteString(const std::string &name, const std::string &value)
{
    QString text = ToQt(value);
    if (!m_current || !m_current->registry)
        if (text.startsWith(kDwordPrefix) || text.startsWith(kStringPrefix))
            text.prepend(kStringPrefix);
    Store(name, text, 0, false);
}

QString TRegistry::StorageFileName() const
{
    if (!m_current || !m_current->settings || m_current->registry)
        return {};
    return m_current->settings->fileName();
}

bool TBetterRegistry::OpenKeyReadOnly(const std::string &key)
{
    return OpenKeyWithAccess(key, false, true);
}
