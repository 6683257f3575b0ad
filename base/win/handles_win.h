// Move-only owners for the Windows handles the programs hold, and a scope-exit guard.
// Each owner knows its close function and the value that means "no handle".
#pragma once

#include <windows.h>

#include <utility>

namespace win {

template <typename Traits> class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    Type get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }

    Type release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(Type value = Traits::Invalid()) {
        if (value_ != Traits::Invalid())
            Traits::Close(value_);
        value_ = value;
    }

  private:
    Type value_ = Traits::Invalid();
};

// Kernel objects that CreateProcess, CreateMutex, CreateEvent return: NULL on failure.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { CloseHandle(h); }
};

// Files from CreateFile: INVALID_HANDLE_VALUE on failure.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};

// Directory searches from FindFirstFile.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { FindClose(h); }
};

// Modules from LoadLibrary.
struct ModuleHandleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueFind = UniqueResource<FindHandleTraits>;
using UniqueModule = UniqueResource<ModuleHandleTraits>;

// A started process: both handles that CreateProcess returns, closed process first.
struct UniqueProcess {
    UniqueHandle process;
    UniqueHandle thread;

    UniqueProcess() = default;
    explicit UniqueProcess(const PROCESS_INFORMATION& info)
        : process(info.hProcess), thread(info.hThread) {}
    UniqueProcess(UniqueProcess&&) = default;
    UniqueProcess& operator=(UniqueProcess&&) = default;
    ~UniqueProcess() { Close(); }
    void Close() {
        process.reset();
        thread.reset();
    }
};

// Runs a function when the scope ends, for one-off clean-up.
template <typename F> class ScopeExit {
  public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { f_(); }

  private:
    F f_;
};

} // namespace win
