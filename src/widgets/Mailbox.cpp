#include "widgets/Mailbox.h"
#include "widgets/Form.h"

#include <utility>

namespace widgets {

namespace detail {

bool MailboxState::Push(std::unique_ptr<Letter> letter) {
    // Declared before the lock, so a refused letter is freed after it is released.
    std::unique_ptr<Letter> refused;
    std::lock_guard<std::mutex> hold(lock_);
    if (!target_ || letter->generation != generation_) {
        refused = std::move(letter);
        return false;
    }
    letters_.push_back(std::move(letter));
    // One wake-up per batch: the form takes everything that waits.
    if (letters_.size() == 1 && !::PostMessageW(target_, kMailMessage, 0, 0)) {
        refused = std::move(letters_.back());
        letters_.pop_back();
        return false;
    }
    return true;
}

std::vector<std::unique_ptr<Letter>> MailboxState::TakeAll() {
    std::lock_guard<std::mutex> hold(lock_);
    return std::exchange(letters_, {});
}

std::size_t MailboxState::Waiting() const {
    std::lock_guard<std::mutex> hold(lock_);
    return letters_.size();
}

std::uint32_t MailboxState::Generation() const {
    std::lock_guard<std::mutex> hold(lock_);
    return generation_;
}

std::uint32_t MailboxState::Advance(HWND target) {
    std::vector<std::unique_ptr<Letter>> dropped; // freed after the lock is released
    std::lock_guard<std::mutex> hold(lock_);
    target_ = target;
    dropped = std::exchange(letters_, {});
    return ++generation_;
}

} // namespace detail

MailboxBase::MailboxBase(Form& owner) : owner_(owner) {
    owner_.RegisterMailbox(this);
}

MailboxBase::~MailboxBase() {
    owner_.UnregisterMailbox(this);
    WindowGone();
}

std::uint32_t MailboxBase::Advance() {
    return state_->Advance(owner_.Handle());
}

void MailboxBase::CancelJob() {
    Advance();
}

void MailboxBase::WindowGone() {
    state_->Advance(nullptr);
}

void MailboxBase::Drain() {
    for (auto& letter : state_->TakeAll())
        // Asked for each letter: a handler may have started another job meanwhile.
        if (letter->generation == state_->Generation())
            Deliver(std::move(letter));
}

} // namespace widgets
