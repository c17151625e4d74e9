#include "platform/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string TempPath(const char* name) {
    return ::testing::TempDir() + "/" + name + std::to_string(::getpid()) + ".ini";
}

TEST(SettingsStore, IniFileKeepsValuesAcrossInstances) {
    const std::string path = TempPath("kintra-store");
    std::remove(path.c_str());
    {
        IniSettingsStore store(path);
        EXPECT_FALSE(store.Loaded());
        EXPECT_EQ(store.GetProfileInt("Model", "VertLines", 5), 5);
        store.WriteProfileInt("Model", "VertLines", 7);
        store.WriteProfileString("GraphView", "Axis Font.FaceName", "Liberation Serif");
        store.WriteProfileString("Model", "MaxSteps", "1.000000e+002");
    }
    IniSettingsStore again(path);
    EXPECT_TRUE(again.Loaded());
    EXPECT_EQ(again.GetProfileInt("Model", "VertLines", 5), 7);
    EXPECT_EQ(again.GetProfileString("GraphView", "Axis Font.FaceName", ""), "Liberation Serif");
    EXPECT_EQ(again.GetProfileString("Model", "MaxSteps", ""), "1.000000e+002");
    std::remove(path.c_str());
}

TEST(SettingsStore, IniFileUnderstandsEscapedKeysQuotedValuesAndJunk) {
    const std::string path = TempPath("kintra-escaped");
    {
        std::ofstream out(path);
        out << "; comment\r\n[GraphView]\r\nAxis%20ColorRed=12\nTitle=\"a \\\"b\\\"\"\nno equals sign here\n"
               "Lines= 42 \n[Model]\nMaxSort=-3x\n";
    }
    IniSettingsStore store(path);
    EXPECT_EQ(store.GetProfileInt("GraphView", "Axis ColorRed", 0), 12);
    EXPECT_EQ(store.GetProfileString("GraphView", "Title", ""), "a \"b\"");
    EXPECT_EQ(store.GetProfileInt("GraphView", "Lines", 0), 42);
    EXPECT_EQ(store.GetProfileInt("Model", "MaxSort", 0), -3)
        << "leading digits count, like the classic reader";
    std::remove(path.c_str());
}

TEST(SettingsStore, MemoryStoreAnswersDefaultsForWhatItLacks) {
    MemorySettingsStore store;
    EXPECT_EQ(store.GetProfileInt("A", "b", -4), -4);
    EXPECT_EQ(store.GetProfileString("A", "b", "x"), "x");
    store.WriteProfileString("A", "b", "junk");
    EXPECT_EQ(store.GetProfileInt("A", "b", 9), 0);
    EXPECT_TRUE(store.Has("A", "b"));
}

} // namespace
