#include "platform/text_files.h"

#include "temp_dir.h"

namespace tonvirke {
namespace {

using TextFilesTest = InTempDir;

std::vector<QString> AllLines(TextFiles& files, const char* name) {
  auto f = files.OpenRead(QString::fromUtf8(name));
  std::vector<QString> lines;
  if (!f) return lines;
  while (!f->AtEnd()) lines.push_back(f->ReadLine());
  return lines;
}

TEST_F(TextFilesTest, LinesEndAtCrLfCrLfNulOrTheEnd) {
  struct Case {
    QByteArray bytes;
    std::vector<QString> lines;
  };
  const Case cases[] = {
      {"abc", {"abc"}},
      {"abc\r\n", {"abc"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {QByteArray("a\0b", 3), {"a", "b"}},
      {"", {}},
      {"\n", {""}},
      {"\xc3\x85\xc3\x84\xc3\x96", {QStringLiteral("ÅÄÖ")}},
      {"\xef\xbb\xbf"
       "TN001",
       {QStringLiteral("\uFEFFTN001")}},
  };
  LocalTextFiles files;
  for (const Case& c : cases) {
    WriteBytes("f.txt", c.bytes);
    EXPECT_EQ(AllLines(files, "f.txt"), c.lines) << c.bytes.toHex().toStdString();
  }
}

TEST_F(TextFilesTest, WritesUtf8WithCrLfAndNoByteOrderMark) {
  LocalTextFiles files;
  auto f = files.Create(QStringLiteral("f.txt"));
  ASSERT_TRUE(f);
  f->Write(QStringLiteral("Å"));
  f->WriteLine(QStringLiteral("\U0001F600"));
  EXPECT_TRUE(f->Close());
  EXPECT_EQ(ReadBytes("f.txt"), QByteArray("\xc3\x85\xf0\x9f\x98\x80\r\n"));

  auto a = files.OpenAppend(QStringLiteral("f.txt"));
  ASSERT_TRUE(a);
  a->WriteLine(QStringLiteral("x"));
  EXPECT_TRUE(a->Close());
  EXPECT_EQ(ReadBytes("f.txt"), QByteArray("\xc3\x85\xf0\x9f\x98\x80\r\nx\r\n"));
}

TEST_F(TextFilesTest, AnOpenFileIsHeldExclusively) {
  LocalTextFiles files;
  WriteBytes("f.txt", "x");
  auto first = files.OpenRead(QStringLiteral("f.txt"));
  ASSERT_TRUE(first);
  EXPECT_FALSE(files.OpenRead(QStringLiteral("f.txt")));
  EXPECT_FALSE(files.Create(QStringLiteral("f.txt")));
  EXPECT_FALSE(files.OpenAppend(QStringLiteral("f.txt")));
  first.reset();
  EXPECT_TRUE(files.OpenRead(QStringLiteral("f.txt")));
}

TEST_F(TextFilesTest, CreateReplacesTheOldFileOnlyWhenComplete) {
  LocalTextFiles files;
  WriteBytes("f.txt", "old content that is longer");
  auto f = files.Create(QStringLiteral("f.txt"));
  ASSERT_TRUE(f);
  f->WriteLine(QStringLiteral("new"));
  EXPECT_EQ(ReadBytes("f.txt"), QByteArray("old content that is longer"));
  EXPECT_TRUE(f->Close());
  EXPECT_EQ(ReadBytes("f.txt"), QByteArray("new\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1) << "no temp left";
}

TEST_F(TextFilesTest, OnlyRegularFilesOpen) {
  LocalTextFiles files;
  std::filesystem::create_directory("d");
  ASSERT_EQ(::mkfifo("fifo", 0600), 0);
  for (const char* name : {"d", "fifo", "missing"}) {
    EXPECT_FALSE(files.OpenRead(QString::fromUtf8(name))) << name;
  }
  EXPECT_FALSE(files.OpenAppend(QStringLiteral("fifo")));
}

}  // namespace
}  // namespace tonvirke
