#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "platform/files/file.h"

namespace sw::files {
namespace {

class FileTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    static std::string contents(const std::string& native) {
        QFile f(QString::fromStdString(native));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }
    static bool writeAll(File& f, const std::string& s) {
        return f.write(s.data(), static_cast<int64_t>(s.size()));
    }

    QTemporaryDir m_dir;
};

TEST_F(FileTest, HeldFileIsRefusedToEverySecondOpenerUntilClosed) {
    const std::string p = path("held.bin");
    File holder = File::openNative(p, kGenericWrite, Creation::CreateAlways);
    ASSERT_TRUE(holder);
    ASSERT_TRUE(writeAll(holder, "abc"));

    const struct {
        uint32_t access;
        Creation creation;
    } rows[] = {{kGenericRead, Creation::OpenExisting},
                {kGenericRead, Creation::OpenAlways},
                {kGenericWrite, Creation::OpenAlways},
                {kGenericWrite, Creation::CreateAlways},
                {kGenericRead | kGenericWrite, Creation::OpenExisting}};
    for (const auto& row : rows) {
        EXPECT_FALSE(File::openNative(p, row.access, row.creation)) << static_cast<int>(row.creation);
    }
    EXPECT_EQ(contents(p), "abc") << "a refused CreateAlways must not truncate the held file";

    // Another process is refused as well.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(File::openNative(p, kGenericRead, Creation::OpenExisting) ? 1 : 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child process could open a held file";

    // Moving the handle keeps the lock; closing the moved-from object does not release it.
    File moved = std::move(holder);
    holder.close();
    EXPECT_FALSE(File::openNative(p, kGenericRead, Creation::OpenExisting));
    moved.close();
    File second = File::openNative(p, kGenericRead, Creation::OpenExisting);
    ASSERT_TRUE(second);
    char buffer[8] = {};
    EXPECT_EQ(second.read(buffer, sizeof buffer), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST_F(FileTest, CreateAlwaysTruncatesAndOpenAlwaysAppendsAfterSeekToEnd) {
    const std::string p = path("blocks.bin");
    {
        File f = File::openNative(p, kGenericWrite, Creation::OpenAlways);  // created when missing
        ASSERT_TRUE(f);
        EXPECT_EQ(f.size(), 0);
        ASSERT_TRUE(writeAll(f, "first"));
    }
    {
        File f = File::openNative(p, kGenericWrite, Creation::OpenAlways);
        ASSERT_TRUE(f);
        EXPECT_EQ(f.position(), 0) << "an open does not position at the end";
        EXPECT_EQ(f.seek(0, SeekFrom::End), 5);
        ASSERT_TRUE(writeAll(f, "+second"));
    }
    EXPECT_EQ(contents(p), "first+second");
    {
        File f = File::openNative(p, kGenericWrite, Creation::CreateAlways);
        ASSERT_TRUE(f);
        EXPECT_EQ(f.size(), 0);
        ASSERT_TRUE(writeAll(f, "new"));
    }
    EXPECT_EQ(contents(p), "new");
    {
        File f = File::openNative(p, kGenericRead, Creation::CreateAlways);
        ASSERT_TRUE(f) << "a read-only CreateAlways still truncates";
        EXPECT_EQ(f.size(), 0);
        EXPECT_FALSE(writeAll(f, "x")) << "but it gives no write access";
    }
    EXPECT_FALSE(File::openNative(path("missing.bin"), kGenericRead, Creation::OpenExisting));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("missing.bin"))));
    EXPECT_TRUE(File::openNative(path("created.bin"), kGenericRead, Creation::OpenAlways))
        << "OpenAlways with read access creates an empty file";
}

TEST_F(FileTest, SeekReadAndWriteBoundaries) {
    File f = File::openNative(path("seek.bin"), kGenericRead | kGenericWrite, Creation::CreateAlways);
    ASSERT_TRUE(f);
    ASSERT_TRUE(writeAll(f, "0123456789"));
    EXPECT_EQ(f.seek(2, SeekFrom::Begin), 2);
    EXPECT_EQ(f.seek(3, SeekFrom::Current), 5);
    EXPECT_EQ(f.seek(-1, SeekFrom::End), 9);
    EXPECT_EQ(f.seek(-10, SeekFrom::Current), -1) << "before the start";
    EXPECT_EQ(f.position(), 9) << "a refused seek leaves the position";
    EXPECT_EQ(f.seek(-1, SeekFrom::Begin), -1);
    EXPECT_EQ(f.seek(-11, SeekFrom::End), -1);

    char buffer[16] = {};
    EXPECT_EQ(f.read(buffer, 16), 1) << "short at the end";
    EXPECT_EQ(buffer[0], '9');
    EXPECT_EQ(f.read(buffer, 16), 0) << "nothing at the end";
    EXPECT_EQ(f.seek(20, SeekFrom::Begin), 20) << "past the end is allowed";
    EXPECT_EQ(f.read(buffer, 4), 0);
    EXPECT_EQ(f.read(buffer, -1), -1);
    EXPECT_FALSE(f.write(buffer, -1));
    EXPECT_EQ(f.size(), 10);
    EXPECT_TRUE(f.resize(4));
    EXPECT_EQ(f.size(), 4);
    EXPECT_EQ(f.position(), 20) << "resize leaves the position";
    EXPECT_FALSE(f.resize(-1));

    File writeOnly = File::openNative(path("w.bin"), kGenericWrite, Creation::CreateAlways);
    ASSERT_TRUE(writeOnly);
    EXPECT_EQ(writeOnly.read(buffer, 1), -1);
    File readOnly = File::openNative(path("r.bin"), kGenericRead, Creation::OpenAlways);
    EXPECT_FALSE(readOnly.resize(0));

    File closed;
    EXPECT_EQ(closed.seek(0, SeekFrom::Begin), -1);
    EXPECT_EQ(closed.read(buffer, 1), -1);
    EXPECT_FALSE(closed.write("x", 1));
    EXPECT_EQ(closed.size(), -1);
}

TEST_F(FileTest, Cp932NamesAndRefusedNames) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("sub"));
    // "sub\ソ.txt": the second byte of ソ (0x83 0x5C) is a backslash byte and must not split the name.
    const std::string name = m_dir.path().toStdString() + "\\sub\\\x83\x5C.txt";
    {
        File f = File::open(name, kGenericWrite, Creation::CreateAlways);
        ASSERT_TRUE(f);
        ASSERT_TRUE(writeAll(f, "kana"));
    }
    EXPECT_EQ(contents(m_dir.filePath(QString::fromUtf8("sub/ソ.txt")).toStdString()), "kana");
    EXPECT_EQ(nativePath("a\\b\x83\x5C"), "a/bソ");

    EXPECT_FALSE(File::open(m_dir.path().toStdString() + "/bad\x82", kGenericWrite, Creation::CreateAlways))
        << "a name with an invalid byte";
    EXPECT_FALSE(File::open("", kGenericRead, Creation::OpenAlways));
    EXPECT_FALSE(File::openNative(m_dir.path().toStdString(), kGenericRead, Creation::OpenExisting))
        << "a folder is not a file";
    EXPECT_FALSE(File::openNative(path("noaccess.bin"), 0, Creation::OpenAlways));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("noaccess.bin"))));
}

}  // namespace
}  // namespace sw::files
