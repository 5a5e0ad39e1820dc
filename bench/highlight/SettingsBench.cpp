// SettingsBench.cpp: storing and loading the whole colour settings of the
// VBScript highlighter (seven attributes, three values each), as the options
// dialog's OK and the main window's start do, in a settings file of a
// temporary folder on the same disk as the user's own settings.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "toolkit/Registry.h"
#include "highlight/jaVBSSyn.h"

namespace {

const std::string kKey = "Software\\Tavrix\\Quenlo";

// Redirects the settings into a fresh temporary folder for one benchmark.
class TSettingsFolder {
public:
    TSettingsFolder() { TRegistry::SetStorageOverride(m_dir.path()); }
    ~TSettingsFolder() { TRegistry::SetStorageOverride(QString()); }
    bool IsValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

// Every attribute with colours and a style of its own.
void Colour(TjaVbsSyn &syn)
{
    for (int i = 0; i < syn.AttrCount(); ++i) {
        syn.Attribute(i)->SetForeground(TColor(0x00102030 * (i + 1)));
        syn.Attribute(i)->SetBackground(i % 2 ? clWindow : TColor(0x00FFFF00 - i));
        syn.Attribute(i)->SetIntegerStyle(i % 16);
    }
}

void BM_SaveColourSettings(benchmark::State &state)
{
    TSettingsFolder folder;
    TjaVbsSyn syn;
    Colour(syn);
    for (auto _ : state) {
        if (!folder.IsValid() || !syn.SaveToRegistry(HKEY_CURRENT_USER, kKey)) {
            state.SkipWithError("the settings could not be stored");
            break;
        }
    }
}
BENCHMARK(BM_SaveColourSettings)->Unit(benchmark::kMicrosecond);

void BM_LoadColourSettings(benchmark::State &state)
{
    TSettingsFolder folder;
    {
        TjaVbsSyn stored;
        Colour(stored);
        if (!folder.IsValid() || !stored.SaveToRegistry(HKEY_CURRENT_USER, kKey))
            state.SkipWithError("the settings could not be stored");
    }
    for (auto _ : state) {
        TjaVbsSyn syn;
        if (!syn.LoadFromRegistry(HKEY_CURRENT_USER, kKey)) {
            state.SkipWithError("the settings could not be loaded");
            break;
        }
        benchmark::DoNotOptimize(syn.Attribute(0)->Foreground());
    }
}
BENCHMARK(BM_LoadColourSettings)->Unit(benchmark::kMicrosecond);

} // namespace
