// Vellumcast Monitor: ports in the registry through the spooler's registry functions.
#include "monitor/port_registry_win.h"

#include "monitor/names.h"
#include "monitor/wide_win.h"

// A key opened through the spooler's functions, closed through them too.
class RegistryPortStore::Key {
  public:
    Key(const MONITORREG* reg, HANDLE spooler) : reg_(reg), spooler_(spooler) {}
    Key(Key&& other) noexcept : reg_(other.reg_), spooler_(other.spooler_), handle_(other.handle_) {
        other.handle_ = nullptr;
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    Key& operator=(Key&&) = delete;
    ~Key() {
        if (handle_)
            reg_->fpCloseKey(handle_, spooler_);
    }
    HANDLE* Receive() { return &handle_; }
    HANDLE get() const { return handle_; }

  private:
    const MONITORREG* reg_;
    HANDLE spooler_;
    HANDLE handle_ = nullptr;
};

namespace {

// The same calls on the process's own registry, for spoolers whose table has only stubs
// (Wine's answers ERROR_CALL_NOT_IMPLEMENTED): the monitor's key is then opened directly.
LONG WINAPI CreateKeyDirect(HANDLE key, LPCWSTR subKey, DWORD options, REGSAM access,
                            PSECURITY_ATTRIBUTES security, PHANDLE result, PDWORD disposition,
                            HANDLE) {
    return RegCreateKeyExW(static_cast<HKEY>(key), subKey, 0, nullptr, options, access, security,
                           reinterpret_cast<PHKEY>(result), disposition);
}
LONG WINAPI OpenKeyDirect(HANDLE key, LPCWSTR subKey, REGSAM access, PHANDLE result, HANDLE) {
    return RegOpenKeyExW(static_cast<HKEY>(key), subKey, 0, access,
                         reinterpret_cast<PHKEY>(result));
}
LONG WINAPI CloseKeyDirect(HANDLE key, HANDLE) {
    return RegCloseKey(static_cast<HKEY>(key));
}
LONG WINAPI DeleteKeyDirect(HANDLE key, LPCWSTR subKey, HANDLE) {
    return RegDeleteKeyW(static_cast<HKEY>(key), subKey);
}
LONG WINAPI EnumKeyDirect(HANDLE key, DWORD index, LPWSTR name, PDWORD nameLength,
                          PFILETIME lastWrite, HANDLE) {
    return RegEnumKeyExW(static_cast<HKEY>(key), index, name, nameLength, nullptr, nullptr, nullptr,
                         lastWrite);
}
LONG WINAPI SetValueDirect(HANDLE key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size,
                           HANDLE) {
    return RegSetValueExW(static_cast<HKEY>(key), name, 0, type, data, size);
}
LONG WINAPI QueryValueDirect(HANDLE key, LPCWSTR name, PDWORD type, PBYTE data, PDWORD size,
                             HANDLE) {
    return RegQueryValueExW(static_cast<HKEY>(key), name, nullptr, type, data, size);
}

MONITORREG DirectRegistry() {
    MONITORREG reg{};
    reg.cbSize = sizeof reg;
    reg.fpCreateKey = CreateKeyDirect;
    reg.fpOpenKey = OpenKeyDirect;
    reg.fpCloseKey = CloseKeyDirect;
    reg.fpDeleteKey = DeleteKeyDirect;
    reg.fpEnumKey = EnumKeyDirect;
    reg.fpSetValue = SetValueDirect;
    reg.fpQueryValue = QueryValueDirect;
    return reg;
}

std::u16string PortKey(const std::u16string& port) {
    return std::u16string(monitor_names::kPortsKey) + u"\\" + port;
}

} // namespace

RegistryPortStore::RegistryPortStore(const MONITORINIT& init)
    : spooler_(init.hSpooler), root_(init.hckRegistryRoot), reg_(*init.pMonitorReg) {
    LONG status = 0;
    { const Key probe = Create(monitor_names::kPortsKey, status); }
    if (status != ERROR_CALL_NOT_IMPLEMENTED)
        return;
    const std::wstring path =
        L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + Wide(monitor_names::kMonitor);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    ownRoot_.reset(key);
    reg_ = DirectRegistry();
    root_ = key;
    spooler_ = nullptr;
}

RegistryPortStore::Key RegistryPortStore::Open(const std::u16string& subKey, REGSAM access,
                                               LONG& status) {
    Key key(&reg_, spooler_);
    status = reg_.fpOpenKey(root_, Wide(subKey).c_str(), access, key.Receive(), spooler_);
    return key;
}

RegistryPortStore::Key RegistryPortStore::Create(const std::u16string& subKey, LONG& status) {
    Key key(&reg_, spooler_);
    DWORD disposition = 0;
    status = reg_.fpCreateKey(root_, Wide(subKey).c_str(), 0, KEY_ALL_ACCESS, nullptr,
                              key.Receive(), &disposition, spooler_);
    return key;
}

bool RegistryPortStore::Exists(const std::u16string& port) {
    LONG status = 0;
    const Key key = Open(PortKey(port), KEY_READ, status);
    return status == ERROR_SUCCESS;
}

uint32_t RegistryPortStore::Add(const std::u16string& port) {
    LONG status = 0;
    const Key key = Create(PortKey(port), status);
    return static_cast<uint32_t>(status);
}

uint32_t RegistryPortStore::Remove(const std::u16string& port) {
    LONG status = 0;
    const Key ports = Open(monitor_names::kPortsKey, KEY_ALL_ACCESS, status);
    if (status != ERROR_SUCCESS)
        return static_cast<uint32_t>(status);
    return static_cast<uint32_t>(reg_.fpDeleteKey(ports.get(), Wide(port).c_str(), spooler_));
}

std::optional<std::u16string> RegistryPortStore::Program(const std::u16string& port) {
    LONG status = 0;
    const Key key = Open(PortKey(port), KEY_READ, status);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    status = reg_.fpQueryValue(key.get(), Wide(monitor_names::kProgramValue).c_str(), &type,
                               nullptr, &size, spooler_);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return std::u16string(); // a port without a program yet
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    DWORD room = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    status = reg_.fpQueryValue(key.get(), Wide(monitor_names::kProgramValue).c_str(), &type,
                               reinterpret_cast<BYTE*>(value.data()), &room, spooler_);
    if (status != ERROR_SUCCESS)
        return std::u16string();
    return U16(value.c_str()); // the stored text may or may not end in a zero
}

uint32_t RegistryPortStore::SetProgram(const std::u16string& port, const std::u16string& program) {
    LONG status = 0;
    const Key key = Open(PortKey(port), KEY_ALL_ACCESS, status);
    if (status != ERROR_SUCCESS)
        return static_cast<uint32_t>(status);
    const std::wstring value = Wide(program);
    return static_cast<uint32_t>(
        reg_.fpSetValue(key.get(), Wide(monitor_names::kProgramValue).c_str(), REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)), spooler_));
}

std::vector<std::u16string> RegistryPortStore::Ports() {
    std::vector<std::u16string> names;
    LONG status = 0;
    const Key ports = Open(monitor_names::kPortsKey, KEY_READ, status);
    if (status != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (reg_.fpEnumKey(ports.get(), index, name, &length, nullptr, spooler_) != ERROR_SUCCESS)
            break;
        names.push_back(std::u16string(name, name + length));
    }
    return names;
}
