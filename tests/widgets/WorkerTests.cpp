// Worker threads stopped through their token, with a bound.
#include "NoFailures.h"
#include "widgets/Worker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <semaphore>
#include <stdexcept>

using namespace widgets_test;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(Worker, OneThatHeedsItsTokenIsStoppedAndJoinedAndOneThatEndsIsWaitedFor) {
    fake::FakePlatform fake;
    widgets::Worker worker;
    worker.Start([](std::stop_token stop) {
        std::mutex lock;
        std::condition_variable_any never;
        std::unique_lock<std::mutex> hold(lock);
        never.wait(hold, stop, [] { return false; });
    });
    EXPECT_TRUE(worker.Running());
    EXPECT_FALSE(worker.WaitDone(0ms));
    EXPECT_TRUE(worker.Stop());
    EXPECT_FALSE(worker.Running());

    worker.Start([](std::stop_token) {});
    EXPECT_TRUE(worker.WaitDone(30s));
    EXPECT_FALSE(worker.Running());
    EXPECT_TRUE(NoFailureReported(fake));
}

TEST(Worker, OneThatOverrunsTheBoundIsLeftToFinishOnItsOwnAndReported) {
    fake::FakePlatform fake;
    auto release = std::make_shared<std::binary_semaphore>(0);
    auto finished = std::make_shared<std::promise<void>>();
    std::future<void> done = finished->get_future();
    {
        widgets::Worker worker;
        // Stuck as in a system call that ignores the token.
        worker.Start([release, finished](std::stop_token) {
            release->acquire();
            finished->set_value();
        });
        EXPECT_FALSE(worker.Stop(10ms));
    }
    EXPECT_THAT(ReportedFailures(fake), ElementsAre(HasSubstr(L"did not stop")));
    // With the worker object gone it still has everything it uses.
    release->release();
    EXPECT_EQ(done.wait_for(30s), std::future_status::ready);
}

TEST(Worker, AnExceptionThatEndsItIsReportedWhenItIsStopped) {
    fake::FakePlatform fake;
    widgets::Worker worker;
    worker.Start([](std::stop_token) { throw std::runtime_error("probe library missing"); });
    EXPECT_TRUE(worker.Stop());
    EXPECT_THAT(ReportedFailures(fake), ElementsAre(HasSubstr(L"probe library missing")));
}
