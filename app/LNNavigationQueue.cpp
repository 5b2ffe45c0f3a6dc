#include "LNNavigationQueue.h"

namespace kinloom {

LNNavigationQueue::LNNavigationQueue() {
    queue_.reserve(128);
}

void LNNavigationQueue::clear() {
    queue_.clear();
    index_ = -1;
}

SharedString LNNavigationQueue::currentObject() const {
    if (queue_.empty()) return SharedString();
    return queue_[static_cast<std::size_t>(index_)];
}

void LNNavigationQueue::addObject(SharedString entry) {
    if (index_ < count() - 1) queue_.erase(queue_.begin() + (index_ + 1), queue_.end());
    queue_.push_back(std::move(entry));
    index_ = count() - 1;
}

SharedString LNNavigationQueue::forward() {
    if (queue_.empty() || index_ >= count() - 1) return SharedString();
    return queue_[static_cast<std::size_t>(++index_)];
}

SharedString LNNavigationQueue::back() {
    if (index_ <= 0) return SharedString();
    return queue_[static_cast<std::size_t>(--index_)];
}

} // namespace kinloom
