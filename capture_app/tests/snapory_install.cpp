#include "capture_app/tests/snapory_install.h"

#include <algorithm>
#include <sstream>

#include "test_signals/test_pattern.h"

namespace snapory_test {

namespace {

// A 24-bit bottom-up BMP of one colour.
std::string SolidBmp(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = stride * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<char>(GetBValue(colour));
        row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
        row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
    for (int y = 0; y < height; ++y) bytes += row;
    return bytes;
}

}  // namespace

SnaporyInstall::SnaporyInstall(const std::wstring& name)
    : copy_(L"Snapory", name, {L"Snapory.exe", L"Korvel.dll"}) {}

SnaporyInstall::~SnaporyInstall() {
    if (window_ && IsWindow(window_)) Close(5000);
    process_.Terminate();  // a program that did not close must not hold its files
}

void SnaporyInstall::WriteResourceIni() {
    copy_.WriteFile(L"Resource.ini",
                    "[tooltip]\r\nHelp=Help\r\nMin=Minimise\r\nClose=Close\r\nEffect=Effects\r\nBrowse=Open the folder\r\n"
                    "Record=Record a video\r\nSnap=Take a picture\r\nAutoSnap=Self-timer\r\nSetup=Settings\r\nPopup=Panel\r\n"
                    "[OsdInformation]\r\nRecord=REC\r\nStopRecord=STOP\r\nSnap=Snap!\r\nAutoSnap=T-\r\ntime=s\r\n");
}

void SnaporyInstall::WriteSkin() {
    const std::wstring skin = L"Skin";
    for (const wchar_t* sub : {L"", L"\\top", L"\\center", L"\\bottom"})
        CreateDirectoryW((Folder() + L"\\" + skin + sub).c_str(), nullptr);
    const struct { const wchar_t* file; int w, h; COLORREF colour; } pieces[] = {
        {L"\\top\\TopLeft.BMP", 21, 36, kFrameColour},        {L"\\top\\TopCenter.BMP", 2, 36, kFrameColour},
        {L"\\top\\TopRight.BMP", 70, 36, kFrameColour},       {L"\\top\\About.BMP", 274, 35, kFrameColour},
        {L"\\center\\CenterLeft2.BMP", 21, 2, kFrameColour},  {L"\\center\\CenterRight2.BMP", 21, 2, kFrameColour},
        {L"\\bottom\\BottomLeft11.BMP", 20, 94, kBottomColour}, {L"\\bottom\\BottomLeft2.BMP", 88, 94, kBottomColour},
        {L"\\bottom\\BottomFill1.BMP", 2, 94, kBottomColour}, {L"\\bottom\\BottomFill2.BMP", 2, 94, kBottomColour},
        {L"\\bottom\\BottomCenter1.BMP", 288, 94, kBottomColour}, {L"\\bottom\\BottomCenter2.BMP", 205, 94, kBottomColour},
        {L"\\bottom\\BottomRight1.BMP", 25, 94, kBottomColour}, {L"\\bottom\\BottomRight2.BMP", 94, 94, kBottomColour},
        {L"\\bottom\\Effect.BMP", 75, 26, kBottomColour},
    };
    for (const auto& p : pieces) copy_.WriteFile(skin + p.file, SolidBmp(p.w, p.h, p.colour));
    const wchar_t* buttons[] = {L"Help", L"Min", L"Close", L"Effect", L"Browse", L"Record", L"Snap", L"AutoSnap",
                                L"Setup", L"Popup"};
    const struct { const wchar_t* letter; COLORREF colour; } states[] = {
        {L"H", RGB(250, 200, 0)}, {L"U", RGB(200, 200, 200)}, {L"D", RGB(90, 90, 90)}, {L"X", RGB(120, 0, 0)}};
    for (const wchar_t* button : buttons) {
        for (const auto& s : states) copy_.WriteFile(skin + L"\\" + button + s.letter + L".BMP", SolidBmp(24, 24, s.colour));
    }
}

void SnaporyInstall::WriteConfig(const std::string& text) { copy_.WriteFile(L"config.ini", text); }

std::string SnaporyInstall::ReadConfig() const { return copy_.ReadFile(L"config.ini"); }

bool SnaporyInstall::Start(DWORD timeoutMs) {
    if (!process_.Start(Folder() + L"\\Snapory.exe", L"", Folder())) return false;
    window_ = harness::FindTopLevelWindow(L"Snapory!", timeoutMs, process_.Id());
    if (!window_) return false;
    // Start-up ends by minimising and restoring the window; the first paint
    // then lays the buttons out. Clicks before that may miss.
    return harness::WaitForControlTop(window_, 1009, 94, timeoutMs);
}

bool SnaporyInstall::Close(DWORD timeoutMs) {
    if (window_ && IsWindow(window_)) Click(1004);
    const bool exited = process_.WaitForExit(timeoutMs);
    window_ = nullptr;
    return exited;
}

std::vector<std::wstring> SnaporyInstall::Captures() const { return harness::FolderFiles(CaptureFolder() + L"\\*"); }

namespace {

struct DisplaySearch {
    DWORD processId;
    HWND owner;
    std::vector<std::wstring> texts;
};

// The displays are popups owned by the main window, shaped to their text's
// plate; the tooltip window is the other popup it owns.
BOOL CALLBACK CollectDisplayText(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DisplaySearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->processId || GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window))
        return TRUE;
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    if (lstrcmpiW(cls, L"tooltips_class32") == 0) return TRUE;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    const bool shaped = GetWindowRgn(window, region) != ERROR && GetRgnBox(region, &box) != NULLREGION;
    DeleteObject(region);
    if (shaped && !IsRectEmpty(&box)) search->texts.push_back(harness::ReadText(window));
    return TRUE;
}

BOOL CALLBACK FindForeignChild(HWND child, LPARAM out) {
    const int id = GetDlgCtrlID(child);
    const bool own = (id >= 1000 && id <= 1022);
    if (own || GetParent(child) != GetAncestor(child, GA_PARENT)) return TRUE;
    *reinterpret_cast<HWND*>(out) = child;
    return FALSE;
}

}  // namespace

std::vector<std::wstring> SnaporyInstall::ShownDisplayTexts() const {
    DisplaySearch search{process_.Id(), window_, {}};
    if (window_) EnumWindows(CollectDisplayText, reinterpret_cast<LPARAM>(&search));
    return search.texts;
}

bool SnaporyInstall::WaitForDisplayText(const std::wstring& text, DWORD timeoutMs) const {
    // The displays hide after a second: look often.
    return harness::WaitUntil([&] {
        const auto shown = ShownDisplayTexts();
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    }, timeoutMs, 50);
}

HWND FindVideoWindow(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(dialog, FindForeignChild, reinterpret_cast<LPARAM>(&found));
    return found && GetParent(found) == dialog ? found : nullptr;
}

bool AreaIsLive(HWND window, const RECT& clientArea) {
    const RECT area = ClientToCapture(window, clientArea);
    const harness::Screenshot first = harness::CaptureWindow(window);
    Sleep(400);
    const harness::Screenshot second = harness::CaptureWindow(window);
    if (first.Empty() || second.Empty()) return false;
    for (int y = area.top; y < area.bottom; y += 3) {
        for (int x = area.left; x < area.right; x += 3) {
            if (first.At(x, y) != second.At(x, y)) return true;
        }
    }
    return false;
}

std::optional<uint32_t> ShownFrameNumber(HWND window, const RECT& previewClient) {
    const harness::Screenshot shot = harness::CaptureWindow(window);
    if (shot.Empty()) return std::nullopt;
    const RECT area = ClientToCapture(window, previewClient);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return std::nullopt;
    std::vector<uint8_t> rgb32(size_t(width) * height * 4);
    uint8_t* at = rgb32.data();
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x, at += 4) {
            const COLORREF c = shot.At(x, y);
            at[0] = GetBValue(c);
            at[1] = GetGValue(c);
            at[2] = GetRValue(c);
            at[3] = 0;
        }
    }
    // Rows top first: a negative height in the media-type convention.
    return test_signals::DecodeFrameCounter(rgb32.data(), rgb32.size(), pixel_formats::PixelFormat::kRgb32, width,
                                            -height);
}

namespace {

ULONGLONG Ticks(const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; }

// GetProcessTimes of the process in 100 ns ticks; false when it cannot be asked.
bool ProcessTimes(DWORD processId, ULONGLONG* created, ULONGLONG* cpu) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) return false;
    FILETIME creation, exited, kernel, user;
    const bool ok = GetProcessTimes(process, &creation, &exited, &kernel, &user) != FALSE;
    CloseHandle(process);
    if (ok) {
        *created = Ticks(creation);
        *cpu = Ticks(kernel) + Ticks(user);
    }
    return ok;
}

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    // Files of /proc report no size: read until the end.
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

// Wine does not keep another process's processor times current
// (GetProcessTimes gives the same figures all along): there the Linux
// process whose command line is the program's Windows path tells them, in
// /proc/<pid>/stat (utime and stime, 100 ticks a second). 0 when there is no
// such process (on Windows: no Z:\proc).
double LinuxProcessCpuMs(const std::wstring& program) {
    const std::string wanted(program.begin(), program.end());
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    double ms = 0;
    do {
        const std::wstring pid = found.cFileName;
        if (pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::string commandLine = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\cmdline");
        if (lstrcmpiA(commandLine.c_str(), wanted.c_str()) != 0) continue;
        const std::string stat = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 1));
        std::string field;
        unsigned long long utime = 0, stime = 0;
        for (int i = 0; i < 13 && fields >> field; ++i) {
            if (i == 11) utime = std::stoull(field);
            if (i == 12) stime = std::stoull(field);
        }
        ms = (utime + stime) * 10.0;
        break;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return ms;
}

}  // namespace

double ProcessCpuMs(DWORD processId, const std::wstring& program) {
    if (const double linuxMs = LinuxProcessCpuMs(program)) return linuxMs;
    ULONGLONG created = 0, cpu = 0;
    return ProcessTimes(processId, &created, &cpu) ? cpu / 10000.0 : 0;
}

double ProcessAgeMs(DWORD processId) {
    ULONGLONG created = 0, cpu = 0;
    if (!ProcessTimes(processId, &created, &cpu)) return 0;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<double>(Ticks(now)) - static_cast<double>(created)) / 10000.0;
}

std::wstring LocalTimeStamp(const SYSTEMTIME& t) {
    std::wostringstream s;
    s << t.wYear << t.wMonth << t.wDay << t.wHour << t.wMinute << t.wSecond;
    return s.str();
}

}  // namespace snapory_test
