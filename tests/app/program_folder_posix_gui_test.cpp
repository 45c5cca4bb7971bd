// The program reads its data from the folder of its real executable file. The
// package installs that file as lib/korvallestin/korvallestin and puts a
// relative link to it in bin/, so the folder must be found through the link:
// not the link's folder, not the working directory. These tests lay out the
// same shape in a temporary folder with a small probe program and start it
// the ways a user's shell and desktop do.

#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProbeOutput {
    std::string folder;      // the program folder the probe found
    std::string started_as;  // its argv[0]
};

// Runs `program` with `arguments` in `working_dir`, with PATH set to `path`
// when given, and reads the probe's two lines.
ProbeOutput RunProbe(const QString& program, const QStringList& arguments,
                     const QString& working_dir, const QString& path = {}) {
    QProcess process;
    process.setWorkingDirectory(working_dir);
    if (!path.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), path);
        process.setProcessEnvironment(env);
    }
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QStringList lines =
        QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    if (lines.size() != 2) {
        ADD_FAILURE() << "probe printed " << lines.size() << " lines";
        return {};
    }
    return {lines[0].toStdString(), lines[1].toStdString()};
}

// A temporary prefix laid out as installed: lib/korvallestin/ holds a copy of
// the probe, bin/ a relative link to it, and elsewhere/ is a working
// directory that has nothing to do with either.
class InstalledLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(prefix_.isValid());
        const QDir root(prefix_.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("lib/korvallestin")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("elsewhere")));
        program_ = root.filePath(QStringLiteral("lib/korvallestin/korvallestin"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KORV_FOLDER_PROBE), program_));
        ASSERT_TRUE(QFileInfo(program_).isExecutable());
        link_ = root.filePath(QStringLiteral("bin/korvallestin"));
        ASSERT_TRUE(QFile::link(QStringLiteral("../lib/korvallestin/korvallestin"), link_));
        ASSERT_TRUE(QFileInfo(link_).isSymLink());
        real_folder_ = QFileInfo(program_).canonicalPath().toStdString();
        link_folder_ =
            QFileInfo(root.filePath(QStringLiteral("bin"))).canonicalFilePath().toStdString();
        elsewhere_ = root.filePath(QStringLiteral("elsewhere"));
    }

    QTemporaryDir prefix_;
    QString program_, link_, elsewhere_;
    std::string real_folder_, link_folder_;
};

TEST_F(InstalledLayout, StartedByTheLinkFindsTheRealProgramFolder) {
    const ProbeOutput out = RunProbe(link_, {}, elsewhere_);
    EXPECT_EQ(out.started_as, link_.toStdString());
    EXPECT_EQ(out.folder, real_folder_);
    EXPECT_NE(out.folder, link_folder_);
}

TEST_F(InstalledLayout, StartedByNameFromThePathFindsTheRealProgramFolder) {
    // As a shell starts it: found through PATH, with only the bare name in
    // argv[0], so the folder cannot come from the command line.
    const QString path = QFileInfo(link_).absolutePath() + QStringLiteral(":/usr/bin:/bin");
    const ProbeOutput out =
        RunProbe(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), QStringLiteral("exec korvallestin")}, elsewhere_, path);
    EXPECT_EQ(out.started_as, "korvallestin");
    EXPECT_EQ(out.folder, real_folder_);
}

TEST_F(InstalledLayout, StartedByARelativePathFromAnotherFolderFindsTheRealProgramFolder) {
    // A link to the link, in the working directory itself: every link on the
    // way is followed to the real file.
    ASSERT_TRUE(QFile::link(link_, QDir(elsewhere_).filePath(QStringLiteral("korv"))));
    const ProbeOutput out = RunProbe(QStringLiteral("./korv"), {}, elsewhere_);
    EXPECT_EQ(out.started_as, "./korv");
    EXPECT_EQ(out.folder, real_folder_);
    EXPECT_NE(out.folder, QFileInfo(elsewhere_).canonicalFilePath().toStdString());
}

}  // namespace
