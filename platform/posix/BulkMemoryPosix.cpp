#include "platform/BulkMemory.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <new>

namespace norvale {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a block is cheaper to fault in page by page than to give a whole huge page of memory.
constexpr std::size_t kLargeBlock = std::size_t{512} << 10;

std::size_t Mapped(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

// Large blocks are mappings of whole, aligned huge pages, marked for transparent huge pages: where
// the system gives them, one fault fills 2 MiB. Where it does not, the pages fault in one by one as
// before. The address sanitizer sees only what comes from new, so under it every block does.
class HugePageMemory : public std::pmr::memory_resource {
    static bool Large(std::size_t bytes) { return !kAddressSanitizer && bytes >= kLargeBlock; }

    void* do_allocate(std::size_t bytes, std::size_t alignment) override {
        if (!Large(bytes)) return std::pmr::new_delete_resource()->allocate(bytes, alignment);
        const std::size_t length = Mapped(bytes);
        // One huge page more than needed, to cut an aligned run out of it.
        void* const mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) throw std::bad_alloc();
        const auto from = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t aligned = (from + kHugePage - 1) / kHugePage * kHugePage;
        if (aligned > from) ::munmap(mapped, aligned - from);
        ::munmap(reinterpret_cast<void*>(aligned + length), from + kHugePage - aligned);
        auto* const block = reinterpret_cast<void*>(aligned);
        (void)::madvise(block, length, MADV_HUGEPAGE);  // only a hint
        return block;
    }

    void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override {
        if (!Large(bytes)) return std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
        ::munmap(block, Mapped(bytes));
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

}  // namespace

std::pmr::memory_resource& BulkMemory() {
    static HugePageMemory memory;
    return memory;
}

}  // namespace norvale
