#include "win32/component/loaded_component.h"

#include "refhost/low_address_space.h"

namespace component {

std::wstring executable_folder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::vector<std::string> exported_names(HMODULE module) {
    std::vector<std::string> names;
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0) {
        return names;
    }
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* name_offsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        names.emplace_back(reinterpret_cast<const char*>(base + name_offsets[i]));
    }
    return names;
}

loaded& component_under_test() {
    static loaded* instance = [] {
        auto* l = new loaded;
        l->core.add(guids::console_sink, &l->console_a);
        l->core.add(guids::console_sink, &l->console_b);
        refhost::renew_low_address_reservation();
        l->module = LoadLibraryW((executable_folder() + L"poolscope.dll").c_str());
        if (l->module != nullptr) {
            l->entry = reinterpret_cast<auvia_get_interface_function>(
                reinterpret_cast<void*>(GetProcAddress(l->module, auvia_get_interface_name)));
        }
        if (l->entry != nullptr) {
            l->gateway = l->entry(&l->core, reinterpret_cast<module_handle>(l->module));
        }
        return l;
    }();
    return *instance;
}

} // namespace component
