#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace travaso {

// A temporary folder in which a test lays out a tree; paths are absolute and use "/".
class TreeFixture {
public:
    TreeFixture() { EXPECT_TRUE(dir_.isValid()); }

    // Absolute path of rel inside the folder.
    std::string Path(const std::string& rel = {}) const { return dir_.path().toStdString() + "/" + rel; }

    void Dir(const std::string& rel) const { std::filesystem::create_directories(Path(rel)); }

    void File(const std::string& rel, const std::string& content = {}) const
    {
        std::filesystem::create_directories(std::filesystem::path(Path(rel)).parent_path());
        std::ofstream(Path(rel), std::ios::binary) << content;
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Every entry under dir by relative path: files with their content, folders as "name/" with "".
    static std::map<std::string, std::string> Snapshot(const std::string& dir)
    {
        namespace fs = std::filesystem;
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(dir)) {
            const std::string rel = fs::relative(e.path(), dir).string();
            files[e.is_directory() ? rel + "/" : rel] = e.is_directory() ? "" : Read(e.path().string());
        }
        return files;
    }

private:
    QTemporaryDir dir_;
};

// The copier's usual layout: a source folder media/PROVA/ holding a stand-in for the program of programBytes
// bytes, and a target root home/ beside it.
class CopierTree : public TreeFixture {
public:
    explicit CopierTree(std::size_t programBytes)
    {
        File("media/PROVA/travaso", std::string(programBytes, 'x'));
        Dir("home");
    }

    std::string Source() const { return Path("media/PROVA/"); }
    std::string Program() const { return Source() + "travaso"; }
    std::string Root() const { return Path("home"); }
    std::string Target() const { return Root() + "/PROVA/"; }
};

}  // namespace travaso
