#include "file/FileBytes.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

namespace kinloom {

namespace {

// The guarded mapping. A file cut short by another program while it is
// mapped takes its pages with it, and reading one raises SIGBUS: the handler
// puts a page of zeros in its place and notes the loss, so that the load can
// end with a report. Only the handler and the mapping's own thread touch it.
std::atomic<char*> guardedBegin{nullptr};
std::atomic<std::size_t> guardedLength{0};
std::atomic<bool> guardedLost{false};
std::atomic_flag guardTaken = ATOMIC_FLAG_INIT;
struct sigaction previousBusAction;

void onBusError(int signal, siginfo_t* info, void* context) {
    char* at = static_cast<char*>(info->si_addr);
    char* begin = guardedBegin.load();
    if (begin && at >= begin && at < begin + guardedLength.load()) {
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        void* start = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(at) & ~(page - 1));
        if (::mmap(start, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            guardedLost = true;
            return;
        }
    }
    // Not ours: the fault comes again under whatever handled it before.
    ::sigaction(signal, &previousBusAction, nullptr);
    (void)context;
}

} // namespace

FileBytes::Mapping::Mapping(int fd, std::size_t length) {
    if (guardTaken.test_and_set()) return;
    void* address = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (address == MAP_FAILED) {
        guardTaken.clear();
        return;
    }
    struct sigaction action = {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previousBusAction);
    address_ = address;
    length_ = length;
    guardedLost = false;
    guardedLength = length;
    guardedBegin = static_cast<char*>(address);
}

FileBytes::Mapping::~Mapping() {
    if (!address_) return;
    guardedBegin = nullptr;
    ::sigaction(SIGBUS, &previousBusAction, nullptr);
    ::munmap(address_, length_);
    guardTaken.clear();
}

bool FileBytes::Mapping::lostPages() const {
    return address_ && guardedLost.load();
}

} // namespace kinloom
