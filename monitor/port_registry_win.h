// Vellumcast Monitor: the ports and their programs in the registry, under the monitor's
// own key, through the registry functions the spooler passes in MONITORINIT (so that they
// also reach a cluster's or a remote spooler's registry). Where the spooler's functions are
// only stubs (Wine), the same key is used through the process's own registry calls.
#pragma once

#include "base/win/handles.h"
#include "monitor/xcv_commands.h"

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <string>
#include <vector>

class RegistryPortStore : public xcv::PortStore {
  public:
    explicit RegistryPortStore(const MONITORINIT& init);

    bool Exists(const std::u16string& port) override;
    uint32_t Add(const std::u16string& port) override;
    uint32_t Remove(const std::u16string& port) override;
    std::optional<std::u16string> Program(const std::u16string& port) override;
    uint32_t SetProgram(const std::u16string& port, const std::u16string& program) override;

    // Every port's name, in the registry's order.
    std::vector<std::u16string> Ports();

  private:
    class Key;
    Key Open(const std::u16string& subKey, REGSAM access, LONG& status);
    Key Create(const std::u16string& subKey, LONG& status);

    struct RegKeyTraits {
        using Type = HKEY;
        static Type Invalid() { return nullptr; }
        static void Close(Type key) { RegCloseKey(key); }
    };
    // The monitor's key when opened directly (see the constructor), closed with the store.
    win::UniqueResource<RegKeyTraits> ownRoot_;
    HANDLE spooler_;
    HANDLE root_;
    MONITORREG reg_;
};
