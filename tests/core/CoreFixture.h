// The program headless on a program folder of its own, with data files the
// test writes.
#pragma once

#include "app/Host.h"
#include "core/PublicM.h"
#include "core/Text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace coretest {

namespace fs = std::filesystem;

// An empty folder to build the host's program folder from.
struct EmptyFolder {
    fs::path path;
    EmptyFolder() {
        std::string t = (fs::temp_directory_path() / "shizi-core-XXXXXX").string();
        path = mkdtemp(t.data());
    }
    ~EmptyFolder() { fs::remove_all(path); }
};

struct CoreTest : ::testing::Test {
    explicit CoreTest(ui::Size desktop = {640, 480})
        : host(std::make_unique<app::HeadlessHost>(source.path.string(), desktop)), app(host->app) {
        fs::create_directories(dataDir());
        core::initMediaPaths(app);
        app.onFatal = [this](const std::string& m) { fatalMessages.push_back(m); };
    }
    fs::path dataDir() const { return fs::path(host->folder()) / "data"; }
    // Writes UTF-8 lines as the program's files are: code page 936, CR LF.
    void writeData(const std::string& name, const std::vector<std::string>& lines) {
        ASSERT_TRUE(core::writeLines((dataDir() / name).string(), lines));
    }
    std::string readBytes(const std::string& name) const {
        std::ifstream in(dataDir() / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    EmptyFolder source;
    std::unique_ptr<app::HeadlessHost> host;
    core::App& app;
    std::vector<std::string> fatalMessages;
};

} // namespace coretest
