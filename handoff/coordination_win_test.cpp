// The job hand-off between capture and converter: object names, the converter's lease and
// the capture's turn, with the two sides on different threads (a mutex belongs to a thread).
#include "handoff/coordination_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <thread>

namespace {

using handoff::CaptureTurn;
using handoff::JobLease;
using handoff::TakeOverJob;

// A unique job path per test, so that tests running at once never share objects.
ByteString JobPath(const char* test) {
    return "C:\\handoff " + std::to_string(GetCurrentProcessId()) + "\\" + test + "\\$$temp.ps";
}

// Runs a function on its own thread; Finished tells whether it has returned yet.
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

TEST(JobLease, ASecondConverterWaitsUntilTheFirstLetsTheJobGo) {
    const ByteString job = JobPath("lease");
    Signal taken;
    Signal release;
    Worker first([&] {
        const JobLease lease = TakeOverJob(job);
        EXPECT_TRUE(lease.HoldsLock());
        taken.Set();
        release.Wait();
    });
    taken.Wait();
    bool secondHeld = false;
    Worker second([&] { secondHeld = TakeOverJob(job).HoldsLock(); });
    EXPECT_FALSE(second.FinishesWithin(300));
    release.Set();
    EXPECT_TRUE(second.FinishesWithin(10000));
    EXPECT_TRUE(first.FinishesWithin(10000));
    EXPECT_TRUE(secondHeld);
}

TEST(JobLease, GoesAheadWithoutTheLockWhenTheWaitRunsOutAndReleasesNothingThen) {
    const ByteString job = JobPath("timeout");
    Signal taken;
    Signal release;
    Worker holder([&] {
        const JobLease lease = TakeOverJob(job);
        taken.Set();
        release.Wait();
    });
    taken.Wait();
    {
        const JobLease late = TakeOverJob(job, 100);
        EXPECT_FALSE(late.HoldsLock());
    }
    // The late lease's end must not have freed the holder's lock.
    bool otherHeld = true;
    Worker other([&] { otherHeld = TakeOverJob(job, 100).HoldsLock(); });
    EXPECT_TRUE(other.FinishesWithin(10000));
    EXPECT_FALSE(otherHeld);
    release.Set();
    EXPECT_TRUE(holder.FinishesWithin(10000));
    EXPECT_TRUE(TakeOverJob(job, 10000).HoldsLock());
}

TEST(JobLease, ALockAbandonedByADeadHolderCountsAsTaken) {
    const ByteString job = JobPath("abandoned");
    win::UniqueHandle mutex; // kept open: with no handle left the mutex would be gone
    {
        Worker dies([&] {
            // Owns the mutex and ends without releasing it, as a crashed converter would.
            mutex.reset(CreateMutexA(
                nullptr, TRUE, handoff::NameOf(handoff::ObjectKind::JobLock, job.c_str()).text));
        });
        ASSERT_TRUE(dies.FinishesWithin(10000));
    }
    ASSERT_TRUE(mutex);
    const JobLease lease = TakeOverJob(job, 5000);
    EXPECT_TRUE(lease.HoldsLock());
    bool otherHeld = true;
    Worker other([&] { otherHeld = TakeOverJob(job, 100).HoldsLock(); });
    EXPECT_TRUE(other.FinishesWithin(10000));
    EXPECT_FALSE(otherHeld);
}

TEST(JobLease, AssigningANewLeaseReleasesTheOldOne) {
    const ByteString first = JobPath("first");
    const ByteString second = JobPath("second");
    JobLease lease = TakeOverJob(first, 1000);
    ASSERT_TRUE(lease.HoldsLock());
    lease = TakeOverJob(second, 1000);
    EXPECT_TRUE(lease.HoldsLock());
    bool firstFree = false;
    bool secondFree = true;
    Worker other([&] {
        firstFree = TakeOverJob(first, 1000).HoldsLock();
        secondFree = TakeOverJob(second, 100).HoldsLock();
    });
    EXPECT_TRUE(other.FinishesWithin(10000));
    EXPECT_TRUE(firstFree);
    EXPECT_FALSE(secondFree);
}

TEST(CaptureTurn, HandsTheJobToTheConverterAndWaitsUntilItHoldsIt) {
    const ByteString job = JobPath("handover");
    std::optional<CaptureTurn> turn(std::in_place, job.c_str());
    ASSERT_TRUE(turn->HoldsJobLock());

    Signal finish;
    bool converterHeld = false;
    Worker converter([&] {
        const JobLease lease = TakeOverJob(job);
        converterHeld = lease.HoldsLock();
        finish.Wait();
    });
    EXPECT_FALSE(converter.FinishesWithin(200)); // the capture still holds the job
    EXPECT_TRUE(turn->HandOver(/*converterStarted=*/true, 10000));
    // Once the hand-over has returned, the converter holds the job.
    bool otherHeld = true;
    Worker other([&] { otherHeld = TakeOverJob(job, 100).HoldsLock(); });
    EXPECT_TRUE(other.FinishesWithin(10000));
    EXPECT_FALSE(otherHeld);

    // The next capture waits for this one to end, then (bounded) for the converter.
    bool nextHeld = true;
    Worker nextCapture([&] { nextHeld = CaptureTurn(job.c_str(), 100).HoldsJobLock(); });
    EXPECT_FALSE(nextCapture.FinishesWithin(300));
    turn.reset();
    EXPECT_TRUE(nextCapture.FinishesWithin(10000));
    EXPECT_FALSE(nextHeld); // the converter still holds the job
    finish.Set();
    EXPECT_TRUE(converter.FinishesWithin(10000));
    EXPECT_TRUE(converterHeld);
    EXPECT_TRUE(CaptureTurn(job.c_str(), 10000).HoldsJobLock());
}

TEST(CaptureTurn, ReportsAConverterThatNeverTakesOver) {
    const ByteString job = JobPath("no converter");
    CaptureTurn turn(job.c_str());
    EXPECT_FALSE(turn.HandOver(/*converterStarted=*/true, 200));
    // The lock is free again for a converter that comes late.
    bool lateHeld = false;
    Worker late([&] { lateHeld = TakeOverJob(job, 1000).HoldsLock(); });
    EXPECT_TRUE(late.FinishesWithin(10000));
    EXPECT_TRUE(lateHeld);
}

} // namespace
