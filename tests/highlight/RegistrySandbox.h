// RegistrySandbox.h: keeps every registry and settings write of this test
// program inside a temporary folder, never in the user's own settings.
// RegistrySandboxTest is the fixture of the tests that write.
#ifndef QUENLO_TESTS_HIGHLIGHT_REGISTRYSANDBOX_H
#define QUENLO_TESTS_HIGHLIGHT_REGISTRYSANDBOX_H

#include <gtest/gtest.h>

#include <QString>

// The temporary folder; empty before the sandbox is set up.
QString RegistrySandboxDir();
// Where native QSettings files go (QSettings::setPath) while sandboxed.
QString RegistrySandboxNativeDir();

// Fails the test unless storage is redirected, then empties the sandbox.
class RegistrySandboxTest : public ::testing::Test {
protected:
    void SetUp() override;
};

#endif
