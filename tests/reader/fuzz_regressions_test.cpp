// Every input the fuzz targets once failed on (and their seeds) goes through the same code again.
#include "fuzz/fuzz_inputs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace lbv {
namespace {

void RunAll(const char* folder, void (*run)(const QByteArray&))
{
    const QDir dir(QStringLiteral(LBV_TEST_DATA_DIR "/reader/fuzz/") + QLatin1String(folder));
    const QStringList names = dir.entryList(QDir::Files);
    EXPECT_FALSE(names.isEmpty()) << folder;
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        SCOPED_TRACE(name.toStdString());
        run(file.readAll());
    }
}

TEST(FuzzRegressions, KeptInputsAreReadSafely)
{
    RunAll("fb2", fuzz::ReadFb2);
    RunAll("plain_text", fuzz::ReadPlainText);
    RunAll("pdb", fuzz::ReadPdb);
    RunAll("tcr", fuzz::ReadTcr);
    RunAll("zip", fuzz::ReadZip);
}

} // namespace
} // namespace lbv
