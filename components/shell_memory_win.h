// The shell's task allocator and the blocks taken from it (buffers, item lists), each
// released through its owner: the allocator once, every block before it.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstddef>
#include <utility>

namespace components {

// The allocator that SHGetMalloc hands out; released once, when the owner goes.
class ShellAllocator {
  public:
    ShellAllocator(); // empty when the shell gives no allocator
    ~ShellAllocator();
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;

    explicit operator bool() const { return malloc_ != nullptr; }
    IMalloc* get() const { return malloc_; }

  private:
    IMalloc* malloc_ = nullptr;
};

// A block of the allocator's memory, freed through it. Must not outlive the allocator.
class ShellBlock {
  public:
    ShellBlock(IMalloc* allocator, void* block) : allocator_(allocator), block_(block) {}
    ShellBlock(const ShellAllocator& allocator, std::size_t bytes);
    ~ShellBlock() {
        if (block_)
            allocator_->Free(block_);
    }
    ShellBlock(const ShellBlock&) = delete;
    ShellBlock& operator=(const ShellBlock&) = delete;

    explicit operator bool() const { return block_ != nullptr; }
    template <typename T> T* As() const { return static_cast<T*>(block_); }

  private:
    IMalloc* allocator_;
    void* block_;
};

} // namespace components
