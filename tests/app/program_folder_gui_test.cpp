// The program reads its data from its own folder, whatever that folder is
// called and wherever it is started from, and names the folder the way the
// system writes paths (it is shown when the data file is missing).

#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ProgramFolder, AnyFolderNameFromAnyWorkingDirectoryInTheSystemsSpelling) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    // A space and letters no single-byte code page has together.
    const QString name = QStringLiteral("Zo\u00eb Postcode Tools \u2014 \u5730");
    ASSERT_TRUE(dir.mkpath(name));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("elsewhere")));
    const QString program = dir.filePath(name + QStringLiteral("/") +
                                         QFileInfo(QStringLiteral(KORV_FOLDER_PROBE)).fileName());
    ASSERT_TRUE(QFile::copy(QStringLiteral(KORV_FOLDER_PROBE), program));

    QProcess process;
    process.setWorkingDirectory(dir.filePath(QStringLiteral("elsewhere")));
    process.start(program, {});
    ASSERT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    // The probe writes UTF-8 whatever the system's code page.
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QString expected = QDir::toNativeSeparators(QFileInfo(program).canonicalPath());
    EXPECT_EQ(lines[0].trimmed().toStdString(), expected.toStdString());
    EXPECT_TRUE(lines[0].contains(name));
    EXPECT_EQ(lines[0].contains(QLatin1Char('/')), QDir::separator() == QLatin1Char('/'));
}

}  // namespace
