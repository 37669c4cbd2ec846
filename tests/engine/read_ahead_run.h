#pragma once

// Runs of the engine with the pictures decoded ahead on worker threads and without, compared.

#include "tests/engine/run_fixture.h"

#include "framework/image/private/read_ahead.h"

#include <cstdlib>
#include <map>

namespace engine_test {

// Every file of a folder with its bytes.
inline std::map<QString, QByteArray> contents(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : entries(folder)) {
        QFile file(folder + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        files[name] = file.readAll();
    }
    return files;
}

// Sets the read-ahead on or off for the scope.
class ReadAheadSwitch {
public:
    explicit ReadAheadSwitch(bool on)
    {
        if (on)
            unsetenv("QUOBLY_READ_AHEAD");
        else
            setenv("QUOBLY_READ_AHEAD", "0", 1);
    }
    ~ReadAheadSwitch() { unsetenv("QUOBLY_READ_AHEAD"); }
};

struct Outcome {
    std::map<QString, QByteArray> files;
    RunRecord record;
    int64_t taken = 0;
};

class ReadAheadRun : public EngineRun {
protected:
    // One run of the chosen folder with the read-ahead on or off; the output folder is removed
    // afterwards, so the next run starts from the same state.
    Outcome runWith(bool on, const QString& output, const std::function<void()>& duringRun = {})
    {
        record = {};
        const ReadAheadSwitch readAhead(on);
        const int64_t taken = ReadAhead::Taken();
        run(duringRun);
        Outcome outcome { contents(output), record, ReadAhead::Taken() - taken };
        QDir(output).removeRecursively();
        return outcome;
    }

    static void expectSame(const Outcome& sequential, const Outcome& ahead)
    {
        ASSERT_FALSE(sequential.files.empty());
        EXPECT_EQ(sequential.taken, 0);
        ASSERT_EQ(sequential.files.size(), ahead.files.size());
        for (const auto& [name, bytes] : sequential.files) {
            ASSERT_TRUE(ahead.files.count(name)) << name.toStdString();
            EXPECT_TRUE(ahead.files.at(name) == bytes) << name.toStdString() << " differs";
        }
        EXPECT_EQ(sequential.record.statusTexts, ahead.record.statusTexts);
        EXPECT_EQ(sequential.record.progressValues, ahead.record.progressValues);
        EXPECT_EQ(sequential.record.messages, ahead.record.messages);
        EXPECT_EQ(sequential.record.beeps, ahead.record.beeps);
    }
};

} // namespace engine_test
