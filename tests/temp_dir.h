#pragma once
// Runs a test inside a fresh temporary directory, the way the keyer runs in its working folder.

#include <gtest/gtest.h>
#include <unistd.h>
#include <QByteArray>
#include <QString>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tonvirke {

class InTempDir : public testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    char pattern[] = "/tmp/tonvirke-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }
  static void WriteBytes(const char* name, const QByteArray& bytes) {
    std::ofstream(name, std::ios::binary).write(bytes.constData(), bytes.size());
  }
  static QByteArray ReadBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    const std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
  }
  std::filesystem::path dir_;

 private:
  std::filesystem::path old_;
};

}  // namespace tonvirke
