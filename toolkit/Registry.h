// Registry.h: the framework's registry wrapper over QSettings.
// TRegistry opens keys below a root key and reads and writes 32-bit integer and
// string values; TBetterRegistry adds OpenKeyReadOnly. ERegistryException is
// the error for values of the wrong type and for failed reads and writes.
#ifndef QUENLO_TOOLKIT_REGISTRY_H
#define QUENLO_TOOLKIT_REGISTRY_H

#include <cstdint>
#include <memory>
#include <string>

#include <QString>

#include "toolkit/Exception.h"

class QSettings;
class QVariant;

// Raised with "Invalid data type for 'Name'", "Failed to get data for 'Name'"
// or "Failed to set data for 'Name'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// The root keys; the current user's is the one kept. (Do not include
// <windows.h> before this header: it defines the same name as a macro.)
enum TRootKey : std::uint32_t { HKEY_CURRENT_USER = 0x80000001u };

// Where keys live. Key paths use "\" between names, like "Software\Tavrix\Quenlo";
// names of keys and values are compared without regard to letter case.
//
// Windows, native storage: the real registry. The path is a key below
// HKEY_CURRENT_USER, integers are REG_DWORD with the same 32-bit pattern,
// strings REG_SZ.
//
// Elsewhere, and everywhere while a storage override is set: one settings file
// per application. "Software\Vendor\Application" is the file (natively
// ~/.config/Vendor/Application.conf; under an override
// <override>/Vendor/Application.ini), and the keys below it are groups:
// "Software\Tavrix\Quenlo\comment", value "Background" is the entry
// "comment/Background" of ~/.config/Tavrix/Quenlo.conf. An integer is stored
// as "dword:" and eight hex digits (dword:80000005), a string as its UTF-8 text
// ("sz:" is put before a string that starts with "dword:" or "sz:"), so that
// both types survive the file. "Software" and "Software\Vendor" hold no values;
// any other top-level key, and "." or ".." as vendor or application, cannot be
// opened. Vendor and application, being file names, keep their letter case.
// The file keeps no empty key: a key exists while it holds a value or a subkey,
// so opening with canCreate always succeeds and the first write creates it.
//
// Writes and deletions of values reach the file together, at the latest when
// the key is closed: by CloseKey, by opening a key of another file, or by
// destruction (opening another key of the same file keeps them pending; a
// registry object that starts reading the file meanwhile writes them with
// it). Every registry object of this process reads them at once. The first
// change after the file was written checks that it can be written (a new file
// is written at once), so a store that cannot take values fails at that
// write. A registry object reads a file as it found it first, with the
// changes of this process since; what another process writes meanwhile shows
// in registry objects made later.
class TRegistry {
public:
    explicit TRegistry(TRootKey rootKey = HKEY_CURRENT_USER);
    virtual ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    TRootKey RootKey() const noexcept { return m_rootKey; }
    // Closes the current key when the root changes.
    void SetRootKey(TRootKey rootKey);

    // A key is relative to the current key (when one is open) unless it begins
    // with "\". On success the opened key becomes the current key; on failure
    // nothing changes. A key of another file first has the pending changes
    // written out, raising as CloseKey does (the current key then stays open).
    bool OpenKey(const std::string &key, bool canCreate);
    // Writes the changes pending in the key's file out and raises "Failed to
    // set data for 'Name'" (the first of them) when that fails; the key is
    // closed either way. Destruction writes them too but cannot raise, so a caller
    // that must know closes the key first.
    void CloseKey();
    bool HasCurrentKey() const noexcept { return m_open; }
    // The current key's path from the root, without a leading "\"; empty when
    // no key is open.
    const std::string &CurrentPath() const noexcept { return m_currentPath; }

    bool KeyExists(const std::string &key) const;
    // Deletes the key with all its values and subkeys; false when it is missing.
    // Its file is written at once, with the changes pending in it.
    bool DeleteKey(const std::string &key);

    // Values of the current key. Without an open key there are none, and
    // writing raises.
    bool ValueExists(const std::string &name) const;
    bool DeleteValue(const std::string &name);
    // Raises when the value is missing or not an integer.
    std::int32_t ReadInteger(const std::string &name) const;
    // Empty for a missing value; raises when the value is not a string.
    std::string ReadString(const std::string &name) const;
    // Raises when the key was opened read-only or the store cannot be written
    // (see the class comment for when a failure shows).
    void WriteInteger(const std::string &name, std::int32_t value);
    void WriteString(const std::string &name, const std::string &value);

    // Redirects all storage to settings files below directory (on every
    // platform, the real registry included); an empty directory restores the
    // native storage. For tests, which must not touch the user's settings.
    static void SetStorageOverride(const QString &directory);
    static QString StorageOverride();

    // The file that holds the current key; empty when no key is open or the
    // key is in the real registry.
    QString StorageFileName() const;

protected:
    bool OpenKeyWithAccess(const std::string &key, bool canCreate, bool readOnly);

private:
    struct TStore;
    struct TLocation;
    // The absolute path that key names from the current key.
    std::string ResolvePath(const std::string &key) const;
    std::unique_ptr<TLocation> Locate(const std::string &absolutePath) const;
    bool Exists(const TLocation &location, const std::string &absolutePath) const;
    std::shared_ptr<TStore> StoreOf(const QString &vendor, const QString &application) const;
    QString ValueKey(const std::string &name) const;
    QString ExistingValueKey(const std::string &name) const;
    void CheckWritable(const std::string &name) const;
    bool CanChange() const;
    bool Changed(const std::string &name);
    void Store(const std::string &name, const QVariant &stored);
    void Flush(TStore &store);
    void ReleaseKey() noexcept;

    TRootKey m_rootKey;
    bool m_open = false;
    bool m_readOnly = false;
    std::string m_currentPath;
    std::unique_ptr<TLocation> m_current;
    // The store last located, kept so that the next keys of the same file
    // reuse its settings object (the current key holds its own reference).
    mutable std::shared_ptr<TStore> m_lastStore;
};

class TBetterRegistry : public TRegistry {
public:
    using TRegistry::TRegistry;
    // Opens an existing key for reading only, with OpenKey's path rules.
    bool OpenKeyReadOnly(const std::string &key);
};

#endif
