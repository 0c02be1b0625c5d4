// Scratch files for the settings file tests: each test gets its own folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "app_toolkit/ini_file.h"

class IniFileTest : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() / "ini_file_test" / (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    std::string WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return PathOf(name);
    }

    std::string ReadFile(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Loads the text as a file; *loaded receives Load's result.
    CIniFile Loaded(const std::string& bytes, bool* loaded = nullptr) const {
        CIniFile ini(WriteFile("load.ini", bytes));
        const bool ok = ini.Load();
        if (loaded) *loaded = ok;
        return ini;
    }

    static std::string Value(const CIniFile& ini, const std::string& section, const std::string& key) {
        char buffer[200];
        ini.GetValue(key, section, buffer);
        return buffer;
    }

    std::filesystem::path dir_;
};
