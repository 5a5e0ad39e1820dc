// RegistrySandbox.cpp: the global test environment that redirects storage.
#include "tests/highlight/RegistrySandbox.h"

#include <memory>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "toolkit/Registry.h"

namespace {

std::unique_ptr<QTemporaryDir> g_dir;

QString OverrideDir()
{
    return g_dir->path() + QStringLiteral("/override");
}

class TRegistrySandbox : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(g_dir->isValid());
        TRegistry::SetStorageOverride(OverrideDir());
        // Also for code that bypasses the override (or clears it to test the
        // native mapping): native and INI settings of the user go here.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, RegistrySandboxNativeDir());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, RegistrySandboxNativeDir());
    }
    void TearDown() override
    {
        TRegistry::SetStorageOverride(QString());
        g_dir.reset();
    }
};

[[maybe_unused]] ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new TRegistrySandbox);

} // namespace

QString RegistrySandboxDir()
{
    return g_dir ? g_dir->path() : QString();
}

QString RegistrySandboxNativeDir()
{
    return g_dir ? g_dir->path() + QStringLiteral("/native") : QString();
}

void RegistrySandboxTest::SetUp()
{
    ASSERT_FALSE(RegistrySandboxDir().isEmpty());
    ASSERT_EQ(TRegistry::StorageOverride(), OverrideDir());
    QDir(OverrideDir()).removeRecursively();
    QDir(RegistrySandboxNativeDir()).removeRecursively();
}
