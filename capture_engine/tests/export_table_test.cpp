// Korvel's export table as a program that links it sees it: the 33 names,
// plain, and nothing else.
#include <windows.h>

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "capture_engine/korvel.h"

namespace {

const char* const kExports[] = {
    "Graph_Initialize", "Graph_Uninitialize", "GetCaptureVideoDev", "GetCaptureAudioDev",
    "SetVideoDevice", "SetAudioDevice", "DeleteVideoDevice", "TearDownGraph",
    "RunPreview", "RunPreviewEx", "RunGraph", "StopGraph",
    "SetPlayWindow", "SetWindowPosition", "GetVideoSize", "SetVideoSize",
    "SetVideoSizeEx", "RunRecord", "StopRecord", "CaptureBitmap",
    "ShowVideoCpaturePropertyPage", "ShowAudioCapturePropertyPage", "RenderMediaFile", "RunGraph2",
    "PauseGraph2", "StopGraph2", "SetPlayWindow2", "SetPlayWindowPosition2",
    "TearDownGraph2", "GetStopTime2", "GetCurTime2", "SetCurTime2",
    "GetEventCode2",
};

// Names in the loaded module's export directory, read from its PE headers.
std::set<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::set<std::string> names;
    if (dir.VirtualAddress == 0) return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

TEST(KorvelExportTable, HoldsExactlyTheThirtyThreePlainNames) {
    const HMODULE module = GetModuleHandleW(L"Korvel.dll");
    ASSERT_NE(module, nullptr);
    const std::set<std::string> names = ExportedNames(module);
    for (const char* name : kExports) {
        EXPECT_EQ(names.count(name), 1u) << name << " is not exported";
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    }
    for (const std::string& name : names) {
        EXPECT_EQ(name.find_first_of("@?"), std::string::npos) << "decorated: " << name;
        EXPECT_NE(name[0], '_') << "decorated: " << name;
    }
    EXPECT_EQ(names.size(), std::size(kExports));
}

// The import library resolves the plain names: this call goes through it.
TEST(KorvelExportTable, ImportsBindToThePlainNames) {
    const HMODULE module = GetModuleHandleW(L"Korvel.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(reinterpret_cast<FARPROC>(&Graph_Uninitialize), GetProcAddress(module, "Graph_Uninitialize"));
    EXPECT_EQ(Graph_Uninitialize(), 1);
}

}  // namespace
