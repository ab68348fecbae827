#pragma once
#include "platform/Win32.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace widgets {

class Form;

// The wake-up a form gets when letters wait in its mailboxes.
inline constexpr UINT kMailMessage = WM_APP + 0x101;

namespace detail {

struct Letter {
    virtual ~Letter() = default;
    std::uint32_t generation = 0;
};

// What a mailbox shares with the workers posting to it. A worker holds it weakly, so a
// mailbox that has gone refuses everything.
class MailboxState {
public:
    // Any thread. False when refused (no window, another job current, the wake-up
    // failed): the letter is freed then, outside the lock.
    bool Push(std::unique_ptr<Letter> letter);

    // The user-interface thread only.
    std::vector<std::unique_ptr<Letter>> TakeAll();
    std::size_t Waiting() const;
    std::uint32_t Generation() const;
    // Starts a new generation for target (none: refuse everything) and frees the
    // letters of earlier ones; returns the new generation.
    std::uint32_t Advance(HWND target);

private:
    mutable std::mutex lock_;
    HWND target_ = nullptr;
    std::uint32_t generation_ = 0;
    std::vector<std::unique_ptr<Letter>> letters_;
};

} // namespace detail

// The part of a mailbox that does not depend on the payload.
class MailboxBase {
public:
    explicit MailboxBase(Form& owner);
    virtual ~MailboxBase();
    MailboxBase(const MailboxBase&) = delete;
    MailboxBase& operator=(const MailboxBase&) = delete;

    // The generation of the current job; 0 before the first.
    std::uint32_t Generation() const { return state_->Generation(); }
    // Ends the current job: whatever it posts from now on is dropped.
    void CancelJob();
    // How many letters wait for the form's window to take them.
    std::size_t Waiting() const { return state_->Waiting(); }

protected:
    // A new job for the form's window; letters of earlier jobs are dropped.
    std::uint32_t Advance();
    std::weak_ptr<detail::MailboxState> State() const { return state_; }
    virtual void Deliver(std::unique_ptr<detail::Letter> letter) = 0;

private:
    friend class Form;
    void Drain();
    void WindowGone();

    Form& owner_;
    std::shared_ptr<detail::MailboxState> state_ = std::make_shared<detail::MailboxState>();
};

// One handler per kind of a letter: std::visit(Overloaded{[](const A&) {}, ...}, letter).
template <typename... F> struct Overloaded : F... { using F::operator()...; };
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

// Results of worker threads for a form, each payload owned by a std::unique_ptr from
// the worker to the handler. A job's sender posts from any thread; the form's window
// wakes up and hands every letter of the current job to OnReceive on its own thread.
// A payload is freed, never handed over, when its job was superseded or cancelled,
// when the form's window or the form has gone, or when the wake-up could not be
// posted. A worker with results of several kinds posts a std::variant, which its
// window reads with std::visit(Overloaded{...}, letter).
template <typename T> class Mailbox : public MailboxBase {
public:
    using MailboxBase::MailboxBase;

    // What a worker keeps: the job's generation and a weak reference to the mailbox.
    class Sender {
    public:
        Sender() = default;
        // False when refused; the payload is freed then.
        bool Post(std::unique_ptr<T> payload) const {
            auto letter = std::make_unique<TypedLetter>();
            letter->generation = generation_;
            letter->payload = std::move(payload);
            auto state = state_.lock();
            return state && state->Push(std::move(letter));
        }
        std::uint32_t Generation() const { return generation_; }

    private:
        friend class Mailbox;
        Sender(std::weak_ptr<detail::MailboxState> state, std::uint32_t generation)
            : state_(std::move(state)), generation_(generation) {}
        std::weak_ptr<detail::MailboxState> state_;
        std::uint32_t generation_ = 0;
    };

    // Starts a new job, superseding the one before, and returns its sender. The form's
    // window must exist.
    Sender NewJob() {
        std::uint32_t generation = Advance();
        return Sender(State(), generation);
    }

    std::function<void(std::unique_ptr<T>)> OnReceive;

private:
    struct TypedLetter : detail::Letter {
        std::unique_ptr<T> payload;
    };
    void Deliver(std::unique_ptr<detail::Letter> letter) override {
        if (OnReceive)
            OnReceive(std::move(static_cast<TypedLetter&>(*letter).payload));
    }
};

} // namespace widgets
