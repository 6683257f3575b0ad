// The shell's task allocator, obtained from and returned to the shell.
#include "components/shell_memory_win.h"

#include <shlobj.h>

namespace components {

ShellAllocator::ShellAllocator() {
    if (FAILED(SHGetMalloc(&malloc_)))
        malloc_ = nullptr;
}

ShellAllocator::~ShellAllocator() {
    if (malloc_)
        malloc_->Release();
}

ShellBlock::ShellBlock(const ShellAllocator& allocator, std::size_t bytes)
    : allocator_(allocator.get()), block_(allocator.get()->Alloc(bytes)) {}

} // namespace components
