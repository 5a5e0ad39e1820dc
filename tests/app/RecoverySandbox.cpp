// RecoverySandbox.cpp: every window of the tests keeps its snapshots in a temporary folder.
#include <gtest/gtest.h>

#include <memory>

#include <QTemporaryDir>

#include "app/uDocumentGuard.h"

namespace {

std::unique_ptr<QTemporaryDir> g_recoveryDir;

class TRecoverySandbox : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_recoveryDir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(g_recoveryDir->isValid());
        TDocumentGuard::SetFolderOverride(g_recoveryDir->filePath(QStringLiteral("recovery")));
    }
    void TearDown() override
    {
        TDocumentGuard::SetFolderOverride(QString());
        g_recoveryDir.reset();
    }
};

[[maybe_unused]] ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new TRecoverySandbox);

} // namespace
