#pragma once

// The preferences file as its tests write and read it by hand, apart from the program's own
// description of the record: the record's bytes, and the main window's state that a record
// stands for.

#include "tests/main_window/main_window_fixture.h"

#include <QFile>

#include <gtest/gtest.h>

#include <string>

inline std::string readPreferences()
{
    QFile file(preferencesPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

inline void writePreferences(const std::string& bytes)
{
    QFile file(preferencesPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

// A record as it stands on disk; the defaults are the window's design values.
struct Record {
    bool settingsOpen { true };
    int mode { 0 };
    int wantedSize { 0 };
    int sizeBasis { 0 };
    int boxWidth { 0 };
    int boxHeight { 0 };
    int independentWidth { 0 };
    int widthUnit { 0 };
    int independentHeight { 0 };
    int heightUnit { 0 };
    int quality { 80 };
    bool increase { false };
    bool reserved { false };
    bool webReady { false };
    bool dosFormat { false };
    int exportFormat { 0 };

    std::string bytes() const
    {
        std::string out;
        auto boolean = [&](bool v) { out.push_back(v ? 1 : 0); };
        auto shortField = [&](int v) {
            out.push_back(static_cast<char>((v >> 8) & 0xFF));
            out.push_back(static_cast<char>(v & 0xFF));
        };
        boolean(settingsOpen);
        shortField(mode);
        shortField(wantedSize);
        shortField(sizeBasis);
        shortField(boxWidth);
        shortField(boxHeight);
        shortField(independentWidth);
        shortField(widthUnit);
        shortField(independentHeight);
        shortField(heightUnit);
        shortField(quality);
        boolean(increase);
        boolean(reserved);
        boolean(webReady);
        boolean(dosFormat);
        shortField(exportFormat);
        return out;
    }
};

class PreferencesTest : public MainWindowFixture {
protected:
    // The main window as a new launch opens it.
    static Ref<Main> reopen()
    {
        closeAll();
        return Main::instance();
    }

    // Sets every control that the record stands for, as a user would.
    static void setControls(Main& w, const Record& r)
    {
        w.RBType(r.mode)->Value(true);
        w.EFPSize()->Text(std::to_string(r.wantedSize));
        w.PMPType()->ListIndex(r.sizeBasis);
        w.EFBWidth()->Text(std::to_string(r.boxWidth));
        w.EFBHeight()->Text(std::to_string(r.boxHeight));
        w.EFIWidth()->Text(std::to_string(r.independentWidth));
        w.PMIWidth()->ListIndex(r.widthUnit);
        w.EFIHeight()->Text(std::to_string(r.independentHeight));
        w.PMIHeight()->ListIndex(r.heightUnit);
        w.SLQuality()->Value(r.quality);
        w.CBIncrease()->Value(r.increase);
        w.CBName()->Value(r.webReady);
        w.CBDos()->Value(r.dosFormat);
        w.PMExportFormat()->ListIndex(r.exportFormat);
        w.DTSettings()->Value(r.settingsOpen);
    }

    // Everything a user can set, as the controls show it, and the states the rules derive.
    static std::string describe(Main& w)
    {
        std::string s;
        auto add = [&](const std::string& name, const std::string& value) { s += name + "=" + value + " "; };
        auto flag = [](bool v) { return std::string(v ? "1" : "0"); };
        add("pane", flag(w.DTSettings()->Value()));
        for (int i = 0; i < 3; ++i)
            add("mode" + std::to_string(i), flag(w.RBType(i)->Value()));
        add("size", w.EFPSize()->Text());
        add("basis", std::to_string(w.PMPType()->ListIndex()));
        add("bw", w.EFBWidth()->Text());
        add("bh", w.EFBHeight()->Text());
        add("iw", w.EFIWidth()->Text());
        add("iwu", std::to_string(w.PMIWidth()->ListIndex()));
        add("ih", w.EFIHeight()->Text());
        add("ihu", std::to_string(w.PMIHeight()->ListIndex()));
        add("q", std::to_string(w.SLQuality()->Value()));
        add("qtext", w.STQuality()->Text());
        add("qrow", std::to_string(w.PMQuality()->ListIndex()));
        add("inc", flag(w.CBIncrease()->Value()));
        add("web", flag(w.CBName()->Value()));
        add("dos", flag(w.CBDos()->Value()));
        add("fmt", std::to_string(w.PMExportFormat()->ListIndex()));
        add("sizeOn", flag(w.EFPSize()->Enabled()));
        add("indepOn", flag(w.EFIWidth()->Enabled()));
        add("boxOn", flag(w.EFBWidth()->Enabled()));
        add("qualityOn", flag(w.SLQuality()->Enabled()));
        add("dosOn", flag(w.CBDos()->Enabled()));
        add("go", flag(w.PBGo()->Enabled()));
        add("triangle", flag(w.DTSettings()->Enabled()));
        add("w", std::to_string(w.Width()));
        add("h", std::to_string(w.Height()));
        return s;
    }

};
