// The job hand-off's primitives on real files and kernel objects: the folder's locks (one
// object for every spelling of a folder, in the global namespace), kept names that no later
// job reuses, the set-aside of a job file with its document name, the taken signal.
#include "handoff/coordination_win.h"

#include "handoff/contract.h"
#include "handoff/kept_names.h"
#include "tests/support/test_support_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <thread>

namespace {

using handoff::AcquireFolderMutex;
using handoff::ObjectKind;
using testing_support::ListDirectory;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// Runs a function on its own thread; FinishesWithin tells whether it has returned yet.
class Worker {
  public:
    explicit Worker(std::function<void()> work)
        : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          thread_([this, work = std::move(work)] {
              work();
              SetEvent(done_.get());
          }) {}
    ~Worker() { thread_.join(); }

    bool FinishesWithin(DWORD ms) const {
        return WaitForSingleObject(done_.get(), ms) == WAIT_OBJECT_0;
    }

  private:
    win::UniqueHandle done_;
    std::thread thread_;
};

// A manual-reset event to tell a worker when to go on.
class Signal {
  public:
    void Set() { SetEvent(event_.get()); }
    void Wait() const { WaitForSingleObject(event_.get(), INFINITE); }

  private:
    win::UniqueHandle event_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

ByteString ShortPathOf(const ByteString& path) {
    char shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return length > 0 && length < sizeof shortPath ? ByteString(shortPath) : ByteString();
}

std::vector<ByteString> KeptFiles(const TempDir& dir) {
    std::vector<ByteString> names;
    for (const ByteString& name : ListDirectory(dir.Path())) {
        if (name.rfind(handoff::kKeptJobPrefix, 0) == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FolderLocks, EverySpellingOfAFolderSharesOneGlobalLock) {
    TempDir dir("handoff");
    const ByteString folder = dir / "Printer Folder 表";
    testing_support::MakeDirectory(folder);
    const ByteString shortFolder = ShortPathOf(folder);
    ASSERT_FALSE(shortFolder.empty());
    ASSERT_NE(shortFolder, folder);
    ByteString upper = folder;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    const ByteString job = folder + "\\$$temp.ps";

    Signal held;
    Signal release;
    Worker holder([&] {
        const handoff::HeldMutex files =
            AcquireFolderMutex(ObjectKind::JobFiles, job.c_str(), nullptr);
        EXPECT_TRUE(files.Held());
        held.Set();
        release.Wait();
    });
    held.Wait();
    // The object lives in the global namespace under the long folder's name.
    const handoff::PathBuffer longFolder = handoff::LongFolderOf(job.c_str());
    EXPECT_EQ(ByteString(longFolder.text), folder + "\\");
    const win::UniqueHandle global(OpenMutexA(
        SYNCHRONIZE, FALSE,
        handoff::NameOf(ObjectKind::JobFiles, longFolder.text, handoff::Namespace::Global).text));
    EXPECT_TRUE(global);

    bool acquired = false;
    Worker other([&] {
        const ByteString spelling = shortFolder + "\\$$temp.ps";
        acquired = AcquireFolderMutex(ObjectKind::JobFiles, spelling.c_str(), nullptr).Held();
    });
    EXPECT_FALSE(other.FinishesWithin(300)) << "the short spelling went past the lock";
    release.Set();
    EXPECT_TRUE(other.FinishesWithin(10000));
    EXPECT_TRUE(acquired);
    EXPECT_TRUE(holder.FinishesWithin(10000));

    // The upper-case spelling against the short one, the other way round.
    Signal held2;
    Signal release2;
    Worker holder2([&] {
        const handoff::HeldMutex files =
            AcquireFolderMutex(ObjectKind::JobFiles, (upper + "\\$$TEMP.PS").c_str(), nullptr);
        held2.Set();
        release2.Wait();
    });
    held2.Wait();
    Worker other2([&] {
        AcquireFolderMutex(ObjectKind::JobFiles, (shortFolder + "\\$$temp.ps").c_str(), nullptr);
    });
    EXPECT_FALSE(other2.FinishesWithin(300));
    release2.Set();
    EXPECT_TRUE(other2.FinishesWithin(10000));
    EXPECT_TRUE(holder2.FinishesWithin(10000));
}

// Dispatches messages into a counter while a wait goes on.
class CountingPump : public handoff::MessagePump {
  public:
    void DispatchPending() override {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_APP)
                ++seen;
        }
    }
    int seen = 0;
};

TEST(FolderLocks, AConverterWaitingForTheLockKeepsDispatchingMessages) {
    TempDir dir("handoff");
    const ByteString job = dir / "$$temp.ps";
    Signal held;
    Signal release;
    Worker holder([&] {
        const handoff::HeldMutex files =
            AcquireFolderMutex(ObjectKind::JobFiles, job.c_str(), nullptr);
        held.Set();
        release.Wait();
    });
    held.Wait();
    CountingPump pump;
    const DWORD thread = GetCurrentThreadId();
    Worker poster([&] {
        for (int i = 0; i < 3; ++i) {
            Sleep(100);
            PostThreadMessageA(thread, WM_APP, 0, 0);
        }
        Sleep(100);
        release.Set();
    });
    const handoff::HeldMutex files = AcquireFolderMutex(ObjectKind::JobFiles, job.c_str(), &pump);
    EXPECT_TRUE(files.Held());
    EXPECT_EQ(pump.seen, 3);
    EXPECT_TRUE(poster.FinishesWithin(10000));
    EXPECT_TRUE(holder.FinishesWithin(10000));
}

TEST(SetAside, TheJobFileMovesToANewKeptNameWithItsDocumentName) {
    TempDir dir("handoff");
    const ByteString job = dir / "$$temp.ps";
    const ByteString log = dir / "log.txt";
    std::set<ByteString> keptJobs;
    const struct {
        const char* label;
        bool logFirst; // a log older than the job was written for an earlier one
        const char* expectedLine;
    } cases[] = {
        {"fresh log", false, "REDMON_DOCNAME=見積書.xlsx\r\n"},
        {"same name again", false, "REDMON_DOCNAME=見積書.xlsx\r\n"},
        {"stale log", true, "REDMON_DOCNAME=\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.logFirst) {
            WriteFileBytes(log, "REDMON_DOCNAME=older.doc\r\n");
            Sleep(50);
            WriteFileBytes(job, ByteString("%!PS ") + c.label);
        } else {
            WriteFileBytes(job, ByteString("%!PS ") + c.label);
            WriteFileBytes(log, "REDMON_DOCNAME=見積書.xlsx\r\n");
        }
        handoff::PathBuffer kept{};
        ASSERT_TRUE(handoff::SetAsideJobFile(job.c_str(), log.c_str(), kept));
        const ByteString keptJob = kept.text;
        EXPECT_FALSE(testing_support::Exists(job));
        EXPECT_EQ(ReadFileBytes(keptJob), ByteString("%!PS ") + c.label);
        EXPECT_EQ(keptJob.compare(0, dir.Path().size() + 1 + 7, dir.Path() + "\\$$kept-"), 0)
            << keptJob;
        EXPECT_EQ(ReadFileBytes(keptJob.substr(0, keptJob.size() - 3) + ".name"), c.expectedLine);
        EXPECT_TRUE(keptJobs.insert(keptJob).second) << "a kept name was used twice";
    }
    EXPECT_EQ(KeptFiles(dir).size(), 6u); // three jobs, each with its name
}

TEST(SetAside, AKeptNameIsNeverReusedWhileAnyOfItsFilesExists) {
    TempDir dir("handoff");
    // Reserve, then leave only the PDF of that stem behind: the next stem differs.
    handoff::PathBuffer first{};
    ASSERT_TRUE(handoff::ReserveKeptStem((dir.Path() + "\\").c_str(), "x", 1, first));
    const ByteString stem = first.text;
    ASSERT_TRUE(DeleteFileA((stem + ".name").c_str()));
    WriteFileBytes(stem + ".pdf", "%PDF- left behind");
    handoff::PathBuffer second{};
    ASSERT_TRUE(handoff::ReserveKeptStem((dir.Path() + "\\").c_str(), "y", 1, second));
    EXPECT_NE(ByteString(second.text), stem);
    EXPECT_EQ(ReadFileBytes(stem + ".pdf"), "%PDF- left behind");
}

TEST(SetAside, AJobFileThatCannotBeMovedStaysAndLeavesNoKeptName) {
    TempDir dir("handoff");
    const ByteString job = dir / "$$temp.ps";
    WriteFileBytes(job, "%!PS held");
    // Held open without delete sharing, as a scanner would.
    const win::UniqueFile holder(CreateFileA(job.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    handoff::PathBuffer kept{};
    EXPECT_FALSE(handoff::SetAsideJobFile(job.c_str(), (dir / "log.txt").c_str(), kept));
    EXPECT_EQ(ReadFileBytes(job), "%!PS held");
    EXPECT_TRUE(KeptFiles(dir).empty());
}

TEST(TakenSignal, OnlyASignalGivenAfterItsCreationCounts) {
    TempDir dir("handoff");
    const ByteString job = dir / "$$temp.ps";
    handoff::SignalTaken(job.c_str()); // nobody waits: nothing happens
    {
        const handoff::TakenSignal early(job.c_str());
        handoff::SignalTaken(job.c_str());             // a late converter of an earlier job
        const handoff::TakenSignal taken(job.c_str()); // the next hand-off resets it
        EXPECT_FALSE(taken.Wait(100));
        Worker converter([&] {
            Sleep(100);
            handoff::SignalTaken(job.c_str());
        });
        EXPECT_TRUE(taken.Wait(10000));
        EXPECT_TRUE(converter.FinishesWithin(10000));
    }
}

} // namespace
