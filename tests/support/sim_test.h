// Base of tests over the simulated services: a fresh simulated machine per
// test, whose files live below a temporary folder of that test's own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/sim/sim.h"
#include "support/data_folder.h"

class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::temp_directory_path() /
               ("tunewell-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" + test->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        sim::reset(root.string());
    }

    void TearDown() override {
        sim::reset(root.string());  // closes whatever the test left open
        std::filesystem::remove_all(root);
    }

    // Writes `bytes` to the file a Windows path names, making its folders.
    static void writeFile(const std::string& windowsPath, const std::string& bytes) {
        const std::filesystem::path host = sim::hostPath(windowsPath);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary | std::ios::trunc) << bytes;
    }

    static std::string readFile(const std::string& windowsPath) {
        std::ifstream in(sim::hostPath(windowsPath), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path root;
};
