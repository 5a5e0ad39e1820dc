// RegistryTest.cpp: TRegistry and TBetterRegistry over settings files: key
// paths, value types, type errors, deletion and the on-disk layout.
#include <cstdint>
#include <functional>
#include <limits>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "toolkit/Registry.h"
#include "tests/highlight/RegistrySandbox.h"

namespace {

const std::string kQuenlo = "Software\\Tavrix\\Quenlo";

class RegistryTest : public RegistrySandboxTest {};

std::string MessageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ERegistryException &e) {
        return e.Message();
    }
    return "(nothing raised)";
}

// "v3" and the like.
std::string IndexedName(char prefix, size_t index)
{
    std::string name(1, prefix);
    name += std::to_string(index);
    return name;
}

QString FileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Clears the storage override for one scope, so that the native mapping runs
// (into the sandbox's QSettings::setPath folder).
class TNativeStorage {
public:
    TNativeStorage() : m_saved(TRegistry::StorageOverride()) { TRegistry::SetStorageOverride(QString()); }
    ~TNativeStorage() { TRegistry::SetStorageOverride(m_saved); }

private:
    QString m_saved;
};

} // namespace

TEST_F(RegistryTest, WritesLandInsideTheSandbox)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\comment", true));
    registry.WriteInteger("Background", 5);
    const QString file = registry.StorageFileName();
    EXPECT_TRUE(file.startsWith(RegistrySandboxDir())) << file.toStdString();
    EXPECT_TRUE(file.endsWith("/Tavrix/Quenlo.ini")) << file.toStdString();
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(RegistryTest, CurrentPathFollowsRelativeAndAbsoluteKeys)
{
    TBetterRegistry registry;
    EXPECT_FALSE(registry.HasCurrentKey());
    EXPECT_EQ(registry.CurrentPath(), "");

    ASSERT_TRUE(registry.OpenKey("Software\\Tavrix", true));
    EXPECT_EQ(registry.CurrentPath(), "Software\\Tavrix");
    // relative to the open key
    ASSERT_TRUE(registry.OpenKey("Quenlo\\comment", true));
    EXPECT_EQ(registry.CurrentPath(), "Software\\Tavrix\\Quenlo\\comment");
    registry.WriteInteger("Style", 2);
    // absolute: the leading backslash is dropped
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\" + kQuenlo));
    EXPECT_EQ(registry.CurrentPath(), kQuenlo);

    // a failed open changes nothing
    EXPECT_FALSE(registry.OpenKeyReadOnly("missing"));
    EXPECT_FALSE(registry.OpenKey("missing", false));
    EXPECT_EQ(registry.CurrentPath(), kQuenlo);
    EXPECT_TRUE(registry.HasCurrentKey());

    ASSERT_TRUE(registry.OpenKeyReadOnly("comment"));
    EXPECT_EQ(registry.CurrentPath(), kQuenlo + "\\comment");
    EXPECT_EQ(registry.ReadInteger("Style"), 2);

    registry.CloseKey();
    EXPECT_FALSE(registry.HasCurrentKey());
    EXPECT_EQ(registry.CurrentPath(), "");
    // without an open key a relative path starts at the root
    EXPECT_TRUE(registry.OpenKeyReadOnly(kQuenlo));
}

TEST_F(RegistryTest, IntegersKeepTheir32BitPattern)
{
    const std::int32_t values[] = {0, 1, -1, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max(), std::int32_t(0x80000005u),
                                   std::int32_t(0x80000008u), 0x00C0FFEE};
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\numbers", true));
        for (size_t i = 0; i < std::size(values); ++i)
            registry.WriteInteger(IndexedName('v', i), values[i]);
    }
    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(kQuenlo + "\\numbers"));
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(registry.ReadInteger(IndexedName('v', i)), values[i]) << i;
}

TEST_F(RegistryTest, StringsRoundTripEvenWhenTheyLookLikeTypedValues)
{
    const std::string values[] = {"", "plain", "5", "dword:80000005", "sz:x", "a, b,c", "caf\xE9 \x80", "@Variant(x)"};
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kQuenlo, true));
        for (size_t i = 0; i < std::size(values); ++i)
            registry.WriteString(IndexedName('s', i), values[i]);
    }
    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(kQuenlo));
    for (size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(registry.ReadString(IndexedName('s', i)), values[i]) << i;
        EXPECT_EQ(MessageOf([&] { registry.ReadInteger(IndexedName('s', i)); }),
                  "Invalid data type for '" + IndexedName('s', i) + "'");
    }
}

TEST_F(RegistryTest, WrongTypesMissingValuesAndReadOnlyKeysRaise)
{
    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\comment", true));
    registry.WriteString("Background", "clRed");
    registry.WriteInteger("Name", 7);
    EXPECT_EQ(MessageOf([&] { registry.ReadInteger("Background"); }), "Invalid data type for 'Background'");
    EXPECT_EQ(MessageOf([&] { registry.ReadString("Name"); }), "Invalid data type for 'Name'");
    EXPECT_EQ(MessageOf([&] { registry.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_EQ(registry.ReadString("Missing"), "");
    EXPECT_FALSE(registry.ValueExists("Missing"));

    ASSERT_TRUE(registry.OpenKeyReadOnly("\\" + kQuenlo + "\\comment"));
    EXPECT_EQ(MessageOf([&] { registry.WriteInteger("Style", 1); }), "Failed to set data for 'Style'");
    EXPECT_FALSE(registry.ValueExists("Style"));

    registry.CloseKey();
    EXPECT_EQ(MessageOf([&] { registry.WriteString("x", "y"); }), "Failed to set data for 'x'");
    // "Software" holds no values
    ASSERT_TRUE(registry.OpenKey("Software", false));
    EXPECT_EQ(MessageOf([&] { registry.WriteInteger("x", 1); }), "Failed to set data for 'x'");
}

TEST_F(RegistryTest, NamesIgnoreLetterCase)
{
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\reserved word", true));
        registry.WriteInteger("Foreground", 42);
    }
    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("SOFTWARE\\Tavrix\\Quenlo\\Reserved Word"));
    EXPECT_TRUE(registry.ValueExists("foreground"));
    EXPECT_EQ(registry.ReadInteger("FOREGROUND"), 42);

    // writing under another case replaces the same value
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey(kQuenlo + "\\RESERVED WORD", true));
    writer.WriteInteger("foreground", 43);
    writer.CloseKey();
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\" + kQuenlo + "\\reserved word"));
    EXPECT_EQ(registry.ReadInteger("Foreground"), 43);
}

TEST_F(RegistryTest, DeleteKeyRemovesOneSubtree)
{
    TRegistry registry;
    for (const char *name : {"comment", "number", "string"}) {
        ASSERT_TRUE(registry.OpenKey("\\" + kQuenlo + "\\" + name, true));
        registry.WriteInteger("Style", 1);
    }
    ASSERT_TRUE(registry.OpenKey("\\" + kQuenlo + "\\number\\inner", true));
    registry.WriteInteger("Style", 3);
    registry.CloseKey();

    EXPECT_TRUE(registry.KeyExists(kQuenlo + "\\number\\inner"));
    EXPECT_TRUE(registry.DeleteKey(kQuenlo + "\\number"));
    EXPECT_FALSE(registry.KeyExists(kQuenlo + "\\number"));
    EXPECT_FALSE(registry.KeyExists(kQuenlo + "\\number\\inner"));
    EXPECT_TRUE(registry.KeyExists(kQuenlo + "\\comment"));
    EXPECT_TRUE(registry.KeyExists(kQuenlo + "\\string"));
    EXPECT_FALSE(registry.DeleteKey(kQuenlo + "\\number"));

    ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\string", false));
    EXPECT_TRUE(registry.DeleteValue("Style"));
    EXPECT_FALSE(registry.ValueExists("Style"));
    EXPECT_FALSE(registry.DeleteValue("Style"));
}

TEST_F(RegistryTest, ChangesReachTheFileByTheKeysCloseAndThisProcessSeesThemAtOnce)
{
    const QString folder = RegistrySandboxDir() + "/override/Tavrix";
    const QString path = folder + "/Quenlo.ini";
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey(kQuenlo + "\\comment", true));
    writer.WriteInteger("Background", 1); // a new file is written with its first value
    EXPECT_TRUE(FileText(path).contains("Background=dword:00000001"));
    writer.WriteInteger("Foreground", 2);
    ASSERT_TRUE(writer.OpenKey("\\" + kQuenlo + "\\number", true)); // the same file: still pending
    writer.WriteInteger("Style", 3);
    ASSERT_TRUE(writer.OpenKey("\\" + kQuenlo + "\\comment", false));
    EXPECT_TRUE(writer.DeleteValue("Background"));
    EXPECT_EQ(FileText(path), "[comment]\nBackground=dword:00000001\n");
    {
        TBetterRegistry reader;
        ASSERT_TRUE(reader.OpenKeyReadOnly(kQuenlo + "\\number"));
        EXPECT_EQ(reader.ReadInteger("Style"), 3);
        ASSERT_TRUE(reader.OpenKeyReadOnly("\\" + kQuenlo + "\\comment"));
        EXPECT_EQ(reader.ReadInteger("Foreground"), 2);
        EXPECT_FALSE(reader.ValueExists("Background"));
    }
    writer.CloseKey();
    EXPECT_EQ(FileText(path), "[comment]\nForeground=dword:00000002\n\n[number]\nStyle=dword:00000003\n");

    // The file's folder replaced by a file: the first pending value is named
    // when the key closes, or when the changes leave for another file (the
    // key then stays open).
    const auto changeThenBlock = [&](TRegistry &registry, const char *name) {
        ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\string", true));
        registry.WriteInteger(name, 4);
        registry.WriteInteger("Other", 5);
        ASSERT_TRUE(QDir().rename(folder, folder + "-moved"));
        QFile blocker(folder);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    };
    const auto unblock = [&] {
        ASSERT_TRUE(QFile::remove(folder));
        ASSERT_TRUE(QDir().rename(folder + "-moved", folder));
    };
    changeThenBlock(writer, "Style");
    EXPECT_EQ(MessageOf([&] { writer.CloseKey(); }), "Failed to set data for 'Style'");
    EXPECT_FALSE(writer.HasCurrentKey());
    unblock();
    TRegistry leaving;
    changeThenBlock(leaving, "Foreground");
    EXPECT_EQ(MessageOf([&] { leaving.OpenKey("\\Software\\Other\\Editor", true); }),
              "Failed to set data for 'Foreground'");
    EXPECT_EQ(leaving.CurrentPath(), kQuenlo + "\\string");
    EXPECT_EQ(MessageOf([&] { leaving.WriteInteger("Background", 6); }), "Failed to set data for 'Background'");
}

TEST_F(RegistryTest, PathsOutsideTheSettingsFolderAreRefused)
{
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("Environment\\Quenlo", true));
    EXPECT_FALSE(registry.OpenKey("Software\\..\\Quenlo", true));
    EXPECT_FALSE(registry.OpenKey("Software\\Tavrix\\..", true));
    EXPECT_FALSE(registry.OpenKey("Software\\Tavrix\\a/b", true));
    EXPECT_FALSE(registry.OpenKey("Software\\\\Tavrix", true));
    EXPECT_FALSE(registry.HasCurrentKey());
    // a vendor key exists once one of its applications stores something
    EXPECT_FALSE(registry.KeyExists("Software\\Tavrix"));
    ASSERT_TRUE(registry.OpenKey(kQuenlo, true));
    registry.WriteInteger("x", 1);
    EXPECT_TRUE(registry.KeyExists("\\Software\\Tavrix"));
    EXPECT_TRUE(registry.KeyExists("\\Software"));
}

TEST_F(RegistryTest, SettingsFileLayout)
{
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\comment", true));
        registry.WriteInteger("Background", std::int32_t(0x80000005u));
        registry.WriteInteger("Style", 2);
        registry.WriteString("Text", "dword:1");
    }
    const QString text = FileText(RegistrySandboxDir() + "/override/Tavrix/Quenlo.ini");
    EXPECT_TRUE(text.contains("[comment]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Background=dword:80000005")) << text.toStdString();
    EXPECT_TRUE(text.contains("Style=dword:00000002")) << text.toStdString();
    EXPECT_TRUE(text.contains("Text=sz:dword:1")) << text.toStdString();
}

TEST_F(RegistryTest, HandEditedValuesOfUnknownFormRaise)
{
    {
        QSettings file(RegistrySandboxDir() + "/override/Tavrix/Quenlo.ini", QSettings::IniFormat);
        file.setValue("comment/Background", "5");
        file.setValue("comment/Foreground", "dword:12");
        file.setValue("comment/Style", QByteArray("\x01\x02", 2));
    }
    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(kQuenlo + "\\comment"));
    EXPECT_EQ(MessageOf([&] { registry.ReadInteger("Background"); }), "Invalid data type for 'Background'");
    EXPECT_EQ(registry.ReadString("Background"), "5");
    EXPECT_EQ(MessageOf([&] { registry.ReadInteger("Foreground"); }), "Invalid data type for 'Foreground'");
    EXPECT_EQ(MessageOf([&] { registry.ReadString("Foreground"); }), "Invalid data type for 'Foreground'");
    EXPECT_EQ(MessageOf([&] { registry.ReadInteger("Style"); }), "Invalid data type for 'Style'");
    EXPECT_EQ(MessageOf([&] { registry.ReadString("Style"); }), "Invalid data type for 'Style'");
}

// Found by fuzzing: a value the settings library decodes itself, a list that
// claims two billion items, is refused like any value of unknown form.
TEST_F(RegistryTest, ValueThatClaimsAHugeListIsRefused)
{
    QFile fixture(QUENLO_TEST_DATA "/settings/variant_list_claims_2g_items.ini");
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    QFile file(RegistrySandboxDir() + "/override/Tavrix/Quenlo.ini");
    ASSERT_TRUE(QDir().mkpath(RegistrySandboxDir() + "/override/Tavrix"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(fixture.readAll()) == fixture.size());
    file.close();

    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(kQuenlo + "\\comment"));
    EXPECT_EQ(MessageOf([&] { registry.ReadInteger("Style"); }), "Invalid data type for 'Style'");
    EXPECT_EQ(MessageOf([&] { registry.ReadString("Style"); }), "Invalid data type for 'Style'");
}

#ifndef Q_OS_WIN
TEST_F(RegistryTest, NativeStorageIsTheApplicationsSettingsFile)
{
    TNativeStorage native;
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\comment", true));
        registry.WriteInteger("Foreground", std::int32_t(0x80000008u));
        EXPECT_EQ(registry.StorageFileName(), RegistrySandboxNativeDir() + "/Tavrix/Quenlo.conf");
    }
    const QString text = FileText(RegistrySandboxNativeDir() + "/Tavrix/Quenlo.conf");
    EXPECT_TRUE(text.contains("[comment]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Foreground=dword:80000008")) << text.toStdString();

    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(kQuenlo + "\\comment"));
    EXPECT_EQ(registry.ReadInteger("Foreground"), std::int32_t(0x80000008u));
}
#endif
