// Payloads posted from worker threads to a form: delivered for the current job only,
// and freed, never run, otherwise.
#include "NoFailures.h"
#include "WidgetTestForms.h"
#include "widgets/Application.h"
#include "widgets/Mailbox.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace widgets_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Counts its own destruction, wherever it happens.
struct Counted {
    Counted(int v, std::atomic<int>& freedCount) : value(v), freed(freedCount) {}
    ~Counted() { ++freed; }
    int value;
    std::atomic<int>& freed;
};

class WorkerForm : public TestForm {
public:
    widgets::Mailbox<Counted> Results{*this};
};

class Posting : public ::testing::Test {
protected:
    using Sender = widgets::Mailbox<Counted>::Sender;

    Posting() {
        form->CreateHandle();
        form->Results.OnReceive = [this](std::unique_ptr<Counted> payload) {
            received.push_back(payload->value);
        };
    }
    ~Posting() override { EXPECT_TRUE(NoFailureReported(fake)); }

    // Posts every value from a thread of its own; what Post answered for each.
    std::vector<bool> PostFromThread(const Sender& sender, std::vector<int> values) {
        std::vector<bool> accepted;
        std::thread([&] {
            for (int v : values)
                accepted.push_back(sender.Post(std::make_unique<Counted>(v, freed)));
        }).join();
        return accepted;
    }

    static void HandleWaitingMessages() { widgets::Application::Instance().ProcessMessages(); }

    fake::FakePlatform fake;
    std::atomic<int> freed{0};
    std::vector<int> received;
    std::unique_ptr<WorkerForm> form = std::make_unique<WorkerForm>();
};

} // namespace

TEST_F(Posting, PayloadsOfTheCurrentJobReachTheHandlerInOrder) {
    Sender job = form->Results.NewJob();
    EXPECT_THAT(PostFromThread(job, {1, 2, 3}), ElementsAre(true, true, true));
    EXPECT_THAT(received, IsEmpty()); // only the form's own thread hands them over
    EXPECT_EQ(form->Results.Waiting(), 3u);
    HandleWaitingMessages();
    EXPECT_THAT(received, ElementsAre(1, 2, 3));
    EXPECT_EQ(form->Results.Waiting(), 0u);
    EXPECT_EQ(freed, 3);
}

TEST_F(Posting, ASupersededOrCancelledJobsPayloadsAreFreedUnread) {
    Sender old = form->Results.NewJob();
    EXPECT_THAT(PostFromThread(old, {1}), ElementsAre(true));
    Sender current = form->Results.NewJob();
    EXPECT_EQ(freed, 1); // the waiting one went with its job
    EXPECT_THAT(PostFromThread(old, {2}), ElementsAre(false));
    EXPECT_THAT(PostFromThread(current, {3}), ElementsAre(true));
    HandleWaitingMessages();
    EXPECT_THAT(received, ElementsAre(3));

    form->Results.CancelJob();
    EXPECT_THAT(PostFromThread(current, {4}), ElementsAre(false));
    HandleWaitingMessages();
    EXPECT_THAT(received, ElementsAre(3));
    EXPECT_EQ(freed, 4);
}

TEST_F(Posting, WhenTheFormHasGoneEveryPayloadIsFreed) {
    Sender job = form->Results.NewJob();
    EXPECT_THAT(PostFromThread(job, {1}), ElementsAre(true));
    form.reset();
    EXPECT_EQ(freed, 1);
    EXPECT_THAT(PostFromThread(job, {2}), ElementsAre(false));
    HandleWaitingMessages();
    EXPECT_THAT(received, IsEmpty());
    EXPECT_EQ(freed, 2);
}
