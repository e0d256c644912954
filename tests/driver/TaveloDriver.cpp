// The Windows-side test driver: run inside the same Wine desktop as the
// program under test, it starts programs, finds windows, posts messages,
// presses keys and moves the mouse, reads and dismisses message boxes,
// reports the display mode and what processes hold. Texts in and out are
// UTF-8. Exit code 0 means the command found what it looked for; 2, an
// unknown command or too few words (the usage goes to standard error).
// Its commands are the table at the end; "tavelo_driver help" prints them.
// "session" reads commands from standard input, one a line, words
// separated by tabs; after each command's output comes a line "= N" with
// its exit code. One process for a whole test keeps the Wine desktop and
// its display mode alive between commands.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "Utf16.h"
#include "support/WinDriver.h"

namespace {

void Print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Describe(HWND window) {
    wchar_t cls[256] = {};
    GetClassNameW(window, cls, 256);
    RECT rect = {};
    GetWindowRect(window, &rect);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char line[256];
    const bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    std::snprintf(line, sizeof line, " rect=%ld,%ld,%ld,%ld visible=%d pid=%lu topmost=%d\n", rect.left, rect.top,
                  rect.right, rect.bottom, IsWindowVisible(window) ? 1 : 0, pid, topmost ? 1 : 0);
    char handle[32];
    std::snprintf(handle, sizeof handle, "window=%p", static_cast<void*>(window));
    return std::string(handle) + " class=" + WideToUtf8(cls) + " caption=" + WideToUtf8(windriver::WindowText(window)) +
           line;
}

std::string ModeText(DWORD which) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, which, &mode)) return "?";
    char text[64];
    std::snprintf(text, sizeof text, "%lux%lux%lu", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
    return text;
}

DWORD Timeout(int argc, wchar_t** argv, int index, DWORD fallback) {
    return argc > index && argv[index][0] != L'-' ? static_cast<DWORD>(_wtoi(argv[index])) : fallback;
}

bool HasFlag(int argc, wchar_t** argv, const wchar_t* flag) {
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpW(argv[i], flag) == 0) return true;
    }
    return false;
}

HANDLE g_started = nullptr;
HANDLE g_probe = nullptr;  // inherited by what start-inheriting starts

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HBITMAP picture = static_cast<HBITMAP>(GetPropW(window, L"picture"));
    if (message == WM_PAINT && picture != nullptr) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture);
        BITMAP info = {};
        GetObjectW(picture, sizeof info, &info);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_NCDESTROY && picture != nullptr) {
        RemovePropW(window, L"picture");
        DeleteObject(picture);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHost(const wchar_t* caption, int width, int height, int x, int y, const wchar_t* picturePath = nullptr,
                bool framed = false, bool topmost = false) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = HostProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        cls.lpszClassName = L"TaveloDriverHost";
        RegisterClassW(&cls);
        registered = true;
    }
    // A popup with no frame has an inner area of exactly width x height; a
    // framed window gets its frame around that.
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    if (framed) style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT outer = {x, y, x + width, y + height};
    AdjustWindowRect(&outer, style, FALSE);
    HWND window = CreateWindowExW(topmost ? WS_EX_TOPMOST : 0, L"TaveloDriverHost", caption, style, outer.left, outer.top,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return nullptr;
    if (picturePath != nullptr) {
        HANDLE picture = LoadImageW(nullptr, picturePath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        if (picture == nullptr) {
            DestroyWindow(window);
            return nullptr;
        }
        SetPropW(window, L"picture", picture);
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

std::wstring Quote(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    for (wchar_t c : argument) {
        if (c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

// Calls act(pid) for every process whose program file is one of argv[2..];
// returns how many there were.
template <typename Act>
int ForEachProcess(int argc, wchar_t** argv, Act act) {
    int n = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        for (int i = 2; i < argc; ++i) {
            if (lstrcmpiW(entry.szExeFile, argv[i]) == 0) {
                ++n;
                act(entry.th32ProcessID);
            }
        }
    }
    CloseHandle(snapshot);
    return n;
}

// start, spawn and start-inheriting (argv[1] says which).
int CommandStart(int argc, wchar_t** argv) {
    const std::wstring command = argv[1];
    const bool inheriting = command == L"start-inheriting";
    std::wstring line = Quote(argv[2]);
    for (int i = 3; i < argc; ++i) line += L" " + Quote(argv[i]);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (inheriting && g_probe == nullptr) {
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        g_probe = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    }
    if (!CreateProcessW(argv[2], &line[0], nullptr, nullptr, inheriting, 0, nullptr, nullptr, &startup, &process)) {
        return 1;
    }
    if (inheriting) Print("probe=" + std::to_string(reinterpret_cast<uintptr_t>(g_probe)) + "\n");
    CloseHandle(process.hThread);
    if (command == L"spawn") {
        CloseHandle(process.hProcess);
    } else {
        if (g_started != nullptr) CloseHandle(g_started);
        g_started = process.hProcess;
    }
    Print("pid=" + std::to_string(process.dwProcessId) + "\n");
    return 0;
}

int CommandLoadLibrary(int, wchar_t** argv) {
    return LoadLibraryW(argv[2]) != nullptr ? 0 : 1;
}

int CommandSetenv(int, wchar_t** argv) {
    return SetEnvironmentVariableW(argv[2], argv[3]) ? 0 : 1;
}

int CommandHost(int, wchar_t** argv) {
    if (CreateHost(argv[2], _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6])) == nullptr) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

int CommandCreateWindow(int argc, wchar_t** argv) {
    std::vector<int> numbers;
    const wchar_t* picture = nullptr;
    for (int i = 3; i < argc; ++i) {
        if (lstrcmpW(argv[i], L"--picture") == 0 && i + 1 < argc) {
            picture = argv[++i];
        } else if (argv[i][0] != L'-' || (argv[i][1] >= L'0' && argv[i][1] <= L'9')) {
            numbers.push_back(_wtoi(argv[i]));
        }
    }
    const int width = numbers.size() >= 2 ? numbers[0] : 200, height = numbers.size() >= 2 ? numbers[1] : 100;
    const int x = numbers.size() >= 4 ? numbers[2] : 600, y = numbers.size() >= 4 ? numbers[3] : 400;
    HWND window = CreateHost(argv[2], width, height, x, y, picture, HasFlag(argc, argv, L"--framed"),
                             HasFlag(argc, argv, L"--topmost"));
    if (window == nullptr) return 1;
    Print("hwnd=" + std::to_string(reinterpret_cast<uintptr_t>(window)) + "\n");
    return 0;
}

int CommandDestroyWindow(int, wchar_t** argv) {
    HWND window = FindWindowW(L"TaveloDriverHost", argv[2]);
    return window != nullptr && DestroyWindow(window) ? 0 : 1;
}

int CommandKill(int, wchar_t**) {  // the started program, if it still runs
    if (g_started == nullptr) return 1;
    if (WaitForSingleObject(g_started, 0) == WAIT_OBJECT_0) return 1;
    TerminateProcess(g_started, 99);
    WaitForSingleObject(g_started, 5000);
    return 0;
}

int CommandKillWhenRunning(int argc, wchar_t** argv) {
    if (g_started == nullptr) return 2;
    const DWORD timeout = Timeout(argc, argv, 3, 30000);
    const DWORD start = GetTickCount();
    while (ForEachProcess(3, argv, [](DWORD) {}) == 0) {
        if (GetTickCount() - start > timeout) return 1;
    }
    TerminateProcess(g_started, 9);
    WaitForSingleObject(g_started, 5000);
    return 0;
}

int CommandHolds(int argc, wchar_t** argv) {
    const HANDLE value = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(_wtoi64(argv[3])));
    const bool probe = HasFlag(argc, argv, L"--probe");
    ForEachProcess(3, argv, [&](DWORD pid) {
        HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid);
        HANDLE copy = nullptr;
        bool held = process != nullptr &&
                    DuplicateHandle(process, value, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
        if (held && probe) {  // the same event: setting the copy sets the driver's
            held = g_probe != nullptr && SetEvent(copy) && WaitForSingleObject(g_probe, 0) == WAIT_OBJECT_0;
            if (g_probe != nullptr) ResetEvent(g_probe);
        }
        if (copy != nullptr) CloseHandle(copy);
        if (process != nullptr) CloseHandle(process);
        Print("pid=" + std::to_string(pid) + " held=" + (held ? "1" : "0") + "\n");
    });
    return 0;
}

int CommandAbove(int, wchar_t** argv) {
    HWND upper = FindWindowW(nullptr, argv[2]), lower = FindWindowW(nullptr, argv[3]);
    if (upper == nullptr || lower == nullptr) return 2;
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w != nullptr; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == upper) return 0;
    }
    return 1;
}

int CommandWaitExit(int argc, wchar_t** argv) {
    if (g_started == nullptr) return 2;
    const DWORD timeout = Timeout(argc, argv, 2, 10000);
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(g_started, 0) != WAIT_OBJECT_0) {
        if (GetTickCount() - start > timeout) return 1;
        windriver::PumpFor(20);
    }
    DWORD code = 0;
    GetExitCodeProcess(g_started, &code);
    Print("exit=" + std::to_string(code) + "\n");
    return 0;
}

int CommandFind(int argc, wchar_t** argv) {
    const wchar_t* cls = lstrcmpW(argv[2], L"*") == 0 ? nullptr : argv[2];
    const DWORD timeout = Timeout(argc, argv, 4, 10000);
    const DWORD start = GetTickCount();
    HWND window = windriver::WaitForWindow(cls, argv[3], timeout);
    if (window == nullptr) return 1;
    if (HasFlag(argc, argv, L"--visible")) {  // shown, not merely created
        while (!IsWindowVisible(window)) {
            if (GetTickCount() - start > timeout) return 1;
            windriver::PumpFor(20);
        }
    }
    Print(Describe(window));
    return 0;
}

int CommandGone(int argc, wchar_t** argv) {
    const DWORD timeout = Timeout(argc, argv, 3, 10000);
    const DWORD start = GetTickCount();
    while (FindWindowW(nullptr, argv[2]) != nullptr) {
        if (GetTickCount() - start > timeout) return 1;
        windriver::PumpFor(20);
    }
    return 0;
}

int CommandCount(int, wchar_t** argv) {
    struct Count {
        const wchar_t* caption;
        std::vector<HWND> found;
    } count = {argv[2], {}};
    struct Counter {
        static BOOL CALLBACK Each(HWND window, LPARAM data) {
            auto* c = reinterpret_cast<Count*>(data);
            if (windriver::WindowText(window) == c->caption) c->found.push_back(window);
            return TRUE;
        }
    };
    EnumWindows(&Counter::Each, reinterpret_cast<LPARAM>(&count));
    Print("count=" + std::to_string(count.found.size()) + "\n");
    for (HWND window : count.found) Print(Describe(window));
    return 0;
}

int CommandFocus(int, wchar_t** argv) {
    HWND window = FindWindowW(nullptr, argv[2]);
    if (window == nullptr) return 1;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndFocus == nullptr) return 1;
    Print(Describe(info.hwndFocus));
    return 0;
}

int CommandMove(int, wchar_t** argv) {
    const bool sent = windriver::SendMouseMove(_wtoi(argv[2]), _wtoi(argv[3]));
    windriver::PumpFor(150);
    return sent ? 0 : 1;
}

int CommandClick(int, wchar_t** argv) {
    // As a hand would: the pointer comes from a little way off, rests, then
    // the button goes down and up.
    const int x = _wtoi(argv[2]), y = _wtoi(argv[3]);
    windriver::SendMouseMove(x - 4, y - 3);
    windriver::PumpFor(120);
    windriver::SendMouseMove(x, y);
    windriver::PumpFor(120);
    const bool sent = windriver::SendMouseButton(x, y, MOUSEEVENTF_LEFTDOWN) &&
                      windriver::SendMouseButton(x, y, MOUSEEVENTF_LEFTUP);
    windriver::PumpFor(150);
    return sent ? 0 : 1;
}

int CommandDoubleClick(int, wchar_t** argv) {
    const int x = _wtoi(argv[2]), y = _wtoi(argv[3]);
    windriver::SendMouseMove(x, y);
    windriver::PumpFor(150);
    bool sent = true;
    for (int i = 0; i < 2; ++i) {
        sent = windriver::SendMouseButton(x, y, MOUSEEVENTF_LEFTDOWN) &&
               windriver::SendMouseButton(x, y, MOUSEEVENTF_LEFTUP) && sent;
        windriver::PumpFor(40);
    }
    windriver::PumpFor(150);
    return sent ? 0 : 1;
}

// drag, and double-drag: a click first, so that the press is a double
// click's second.
int CommandDrag(int, wchar_t** argv) {
    const int fromX = _wtoi(argv[2]), fromY = _wtoi(argv[3]), toX = _wtoi(argv[4]), toY = _wtoi(argv[5]);
    windriver::SendMouseMove(fromX, fromY);
    windriver::PumpFor(150);
    bool sent = true;
    if (lstrcmpW(argv[1], L"double-drag") == 0) {
        sent = windriver::SendMouseButton(fromX, fromY, MOUSEEVENTF_LEFTDOWN) &&
               windriver::SendMouseButton(fromX, fromY, MOUSEEVENTF_LEFTUP);
        windriver::PumpFor(40);
    }
    sent = windriver::SendMouseButton(fromX, fromY, MOUSEEVENTF_LEFTDOWN) && sent;
    windriver::PumpFor(150);
    windriver::SendMouseMove(toX, toY);
    windriver::PumpFor(250);  // long enough for a hover tick to see it there
    sent = windriver::SendMouseButton(toX, toY, MOUSEEVENTF_LEFTUP) && sent;
    windriver::PumpFor(150);
    return sent ? 0 : 1;
}

int CommandTap(int, wchar_t** argv) {
    const bool sent = windriver::SendKeyTap(static_cast<WORD>(_wtoi(argv[2])));
    windriver::PumpFor(150);
    return sent ? 0 : 1;
}

int CommandCombo(int, wchar_t** argv) {
    HWND window = FindWindowW(nullptr, argv[2]);
    HWND combo = window != nullptr ? FindWindowExW(window, nullptr, L"COMBOBOX", nullptr) : nullptr;
    for (HWND child = window != nullptr ? GetWindow(window, GW_CHILD) : nullptr; combo == nullptr && child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        combo = FindWindowExW(child, nullptr, L"COMBOBOX", nullptr);  // one level down: in a panel
    }
    if (combo == nullptr) return 1;
    const LRESULT dropped = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0);
    wchar_t text[256] = {};  // asked of the control itself (GetWindowText does not, across processes)
    SendMessageW(combo, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    Print("dropped=" + std::to_string(dropped ? 1 : 0) + " text=" + WideToUtf8(text) + "\n");
    return 0;
}

int CommandType(int, wchar_t** argv) {
    for (const wchar_t* c = argv[2]; *c != 0; ++c) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wScan = input[1].ki.wScan = *c;
        input[0].ki.dwFlags = KEYEVENTF_UNICODE;
        input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        windriver::PumpFor(30);
    }
    return 0;
}

int CommandChord(int, wchar_t** argv) {
    INPUT input[4] = {};
    for (INPUT& i : input) i.type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[3].ki.wVk = static_cast<WORD>(_wtoi(argv[2]));
    input[1].ki.wVk = input[2].ki.wVk = static_cast<WORD>(_wtoi(argv[3]));
    input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(4, input, sizeof(INPUT)) == 4 ? 0 : 1;
}

int CommandProcesses(int argc, wchar_t** argv) {
    const int n = ForEachProcess(argc, argv, [](DWORD) {});
    Print("count=" + std::to_string(n) + "\n");
    return 0;
}

int CommandEndAll(int argc, wchar_t** argv) {
    const int n = ForEachProcess(argc, argv, [](DWORD pid) {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    });
    Print("count=" + std::to_string(n) + "\n");
    return 0;
}

int CommandKillOwner(int, wchar_t** argv) {
    HWND window = FindWindowW(nullptr, argv[2]);
    DWORD pid = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &pid) == 0) return 1;
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    const bool ended = process != nullptr && TerminateProcess(process, 9);
    if (process != nullptr) CloseHandle(process);
    return ended ? 0 : 1;
}

int CommandChildren(int, wchar_t** argv) {
    HWND parent = FindWindowW(nullptr, argv[2]);
    if (parent == nullptr) return 1;
    struct Lister {
        static BOOL CALLBACK Each(HWND window, LPARAM) {
            Print(Describe(window));
            return TRUE;
        }
    };
    EnumChildWindows(parent, &Lister::Each, 0);
    return 0;
}

int CommandClose(int, wchar_t** argv) {
    HWND window = FindWindowW(nullptr, argv[2]);
    return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int CommandKey(int, wchar_t** argv) {
    HWND window = FindWindowW(nullptr, argv[2]);
    if (window == nullptr) return 1;
    SetForegroundWindow(window);
    SetFocus(window);
    windriver::PumpFor(100);
    return windriver::SendKeyTap(static_cast<WORD>(_wtoi(argv[3]))) ? 0 : 1;
}

int CommandMessagebox(int argc, wchar_t** argv) {
    HWND box = windriver::WaitForWindow(L"#32770", argv[2], Timeout(argc, argv, 3, 10000));
    if (box == nullptr) return 1;
    windriver::PumpFor(100);  // let the box lay out its text
    Print(WideToUtf8(windriver::MessageBoxText(box)) + "\n");
    if (HasFlag(argc, argv, L"--dismiss")) windriver::DismissMessageBox(box);
    return 0;
}

int CommandShortcut(int, wchar_t** argv) {
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                SUCCEEDED(file->Load(argv[2], STGM_READ));
    if (read) {
        wchar_t target[MAX_PATH] = {}, arguments[1024] = {}, icon[MAX_PATH] = {};
        int iconIndex = 0;
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetArguments(arguments, 1024);
        link->GetIconLocation(icon, MAX_PATH, &iconIndex);
        Print("target=" + WideToUtf8(target) + "\narguments=" + WideToUtf8(arguments) + "\nicon=" +
              WideToUtf8(icon) + "," + std::to_string(iconIndex) + "\n");
    }
    if (file != nullptr) file->Release();
    if (link != nullptr) link->Release();
    CoUninitialize();
    return read ? 0 : 1;
}

int CommandLongpath(int, wchar_t** argv) {  // a path's long form (short names expanded)
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetLongPathNameW(argv[2], &buffer[0], static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return 1;
    buffer.resize(length);
    Print("path=" + WideToUtf8(buffer) + "\n");
    return 0;
}

int CommandRegvalue(int, wchar_t** argv) {  // a value under HKEY_CURRENT_USER: "sz=..." or "dword=..."
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, argv[2], 0, KEY_READ, &key) != ERROR_SUCCESS) {
        Print("no key\n");
        return 1;
    }
    DWORD type = 0, size = 0;
    LONG result = RegQueryValueExW(key, argv[3], nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size + sizeof(wchar_t), 0);
    if (result == ERROR_SUCCESS) result = RegQueryValueExW(key, argv[3], nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        Print("no value\n");
        return 1;
    }
    if (type == REG_DWORD) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof value);
        Print("dword=" + std::to_string(value) + "\n");
    } else {
        Print("sz=" + WideToUtf8(reinterpret_cast<const wchar_t*>(data.data())) + "\n");
    }
    return 0;
}

int CommandMode(int, wchar_t**) {
    Print("current=" + ModeText(ENUM_CURRENT_SETTINGS) + " registry=" + ModeText(ENUM_REGISTRY_SETTINGS) + "\n");
    return 0;
}

int CommandSetmode(int argc, wchar_t** argv) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(_wtoi(argv[2]));
    mode.dmPelsHeight = static_cast<DWORD>(_wtoi(argv[3]));
    mode.dmBitsPerPel = static_cast<DWORD>(_wtoi(argv[4]));
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    const DWORD flags = HasFlag(argc, argv, L"--registry") ? CDS_UPDATEREGISTRY : CDS_FULLSCREEN;
    const LONG result = ChangeDisplaySettingsW(&mode, flags);
    Print("result=" + std::to_string(result) + "\n");
    return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

// The primary monitor's work area (what a taskbar leaves of it), as the
// monitor reports it: work=L,T,R,B.
int CommandWorkarea(int, wchar_t**) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    char text[64];
    std::snprintf(text, sizeof text, "work=%ld,%ld,%ld,%ld\n", info.rcWork.left, info.rcWork.top, info.rcWork.right,
                  info.rcWork.bottom);
    Print(text);
    return 0;
}

// A text's size in a font of the given name and size (hundredths of a
// point) at the screen's scaling, as a dialog draws it.
int CommandTextSize(int, wchar_t** argv) {
    HDC dc = GetDC(nullptr);
    const int height = -MulDiv(_wtoi(argv[3]), GetDeviceCaps(dc, LOGPIXELSY), 7200);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, argv[2]);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    const std::wstring text = argv[4];
    const bool measured = GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    Print("size=" + std::to_string(size.cx) + "," + std::to_string(size.cy) + "\n");
    return measured ? 0 : 1;
}

struct DriverCommand {
    const wchar_t* name;
    int words;  // at least, after the name
    const char* arguments;
    const char* does;
    int (*handler)(int argc, wchar_t** argv);
};

// Every command: its name, how many words it needs after the name, its usage
// (printed by "help" and for an unknown command), and its handler.
const DriverCommand kCommands[] = {
    {L"find", 2, "CLASS|* CAPTION [TIMEOUT_MS] [--visible]",
     "window=HEX class=... caption=... rect=L,T,R,B visible=0|1 pid=N", CommandFind},
    {L"gone", 1, "CAPTION [TIMEOUT_MS]", "waits until no window has the caption", CommandGone},
    {L"close", 1, "CAPTION", "posts WM_CLOSE", CommandClose},
    {L"key", 2, "CAPTION VK", "brings the window forward and presses the key", CommandKey},
    {L"messagebox", 1, "CAPTION [TIMEOUT_MS] [--dismiss]", "prints the box's text", CommandMessagebox},
    {L"mode", 0, "", "current=WxHxB registry=WxHxB", CommandMode},
    {L"setmode", 3, "W H BITS [--registry]", "changes the display mode (and its stored value)", CommandSetmode},
    {L"longpath", 1, "PATH", "path=the long form of PATH", CommandLongpath},
    {L"shortcut", 1, "PATH", "a .lnk file's target=... arguments=... icon=...,N", CommandShortcut},
    {L"regvalue", 2, "SUBKEY NAME", "sz=TEXT or dword=N: a value under HKEY_CURRENT_USER", CommandRegvalue},
    {L"start", 1, "PROGRAM [ARGS...]", "starts a program (session only: one at a time)", CommandStart},
    {L"start-inheriting", 1, "PROGRAM [ARGS...]",
     "the same, giving it every inheritable handle, one of them a probe of the driver's own: probe=VALUE", CommandStart},
    {L"holds", 2, "NAME VALUE [--probe]",
     "for each process running the program file NAME, whether it has a handle VALUE (the probe): pid=N "
     "held=0|1", CommandHolds},
    {L"kill-when-running", 1, "NAME [TIMEOUT_MS]",
     "ends the started program the moment a process runs NAME", CommandKillWhenRunning},
    {L"spawn", 1, "PROGRAM [ARGS...]", "starts another program alongside, not followed: pid=N", CommandStart},
    {L"setenv", 2, "NAME VALUE", "sets a variable the programs started from now on inherit", CommandSetenv},
    {L"load-library", 1, "NAME", "loads a library the way an unguarded program would", CommandLoadLibrary},
    {L"host", 5, "CAPTION W H X Y",
     "(a command line of its own, not a session command) a window like create-window's, in this process, "
     "until it ends", CommandHost},
    {L"wait-exit", 0, "[TIMEOUT_MS]", "waits for it and prints exit=N", CommandWaitExit},
    {L"kill", 0, "", "ends it if it still runs", CommandKill},
    {L"create-window", 1, "CAPTION [W H [X Y]] [--picture BMP] [--framed] [--topmost]",
     "a visible top-level window of the driver (W x H inner pixels, default 200 x 100), painted grey or "
     "with the picture at its top-left, without a frame or with a caption bar; prints its handle in "
     "decimal (as the screen-saver \"/p\" wants it)", CommandCreateWindow},
    {L"count", 1, "CAPTION",
     "how many top-level windows have the caption: count=N, then each of them (as find prints it)", CommandCount},
    {L"focus", 1, "CAPTION", "the control with the keyboard focus in that window's thread", CommandFocus},
    {L"move", 2, "X Y", "moves the pointer there (SendInput)", CommandMove},
    {L"click", 2, "X Y", "moves the pointer there and clicks the left button (SendInput)", CommandClick},
    {L"double-click", 2, "X Y", "the same, twice in quick succession", CommandDoubleClick},
    {L"drag", 4, "X1 Y1 X2 Y2", "presses the left button at one place, releases it at the other", CommandDrag},
    {L"double-drag", 4, "X1 Y1 X2 Y2", "clicks at the one place, then presses there again and releases at the other",
     CommandDrag},
    {L"tap", 1, "VK", "presses and releases a key, the focus where it is", CommandTap},
    {L"combo", 1, "CAPTION", "the window's combo box: dropped=0|1 text=...", CommandCombo},
    {L"type", 1, "TEXT", "types the text into the window with the focus (SendInput)", CommandType},
    {L"chord", 2, "VK1 VK2", "holds VK1, presses VK2, lets go (Alt+F4: 18 115)", CommandChord},
    {L"processes", 1, "NAME", "how many processes run the program file NAME: count=N", CommandProcesses},
    {L"kill-owner", 1, "CAPTION", "ends the process that owns the window at once", CommandKillOwner},
    {L"end-all", 1, "NAME...",
     "ends every process running one of the program files: count=N (how many there were)", CommandEndAll},
    {L"above", 2, "CAPTION1 CAPTION2",
     "whether the first window lies above the second in the system's order of windows", CommandAbove},
    {L"children", 1, "CAPTION", "the child windows of a top-level window, a line each", CommandChildren},
    {L"text-size", 3, "FONT HUNDREDTHS TEXT", "a text's size in a font at the screen's scaling: size=W,H",
     CommandTextSize},
    {L"workarea", 0, "", "the primary monitor's work area, what a taskbar leaves of it: work=L,T,R,B", CommandWorkarea},
    {L"destroy-window", 1, "CAPTION", "destroys a window the driver made", CommandDestroyWindow},
};

void PrintUsage(HANDLE to) {
    for (const DriverCommand& c : kCommands) {
        const std::string line = "  " + WideToUtf8(c.name) + " " + c.arguments + "\n      " + c.does + "\n";
        DWORD written = 0;
        WriteFile(to, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

int Run(int argc, wchar_t** argv) {
    if (argc >= 2 && lstrcmpW(argv[1], L"help") == 0) {
        PrintUsage(GetStdHandle(STD_OUTPUT_HANDLE));
        return 0;
    }
    for (const DriverCommand& c : kCommands) {
        if (argc >= 2 && lstrcmpW(argv[1], c.name) == 0 && argc >= c.words + 2) return c.handler(argc, argv);
    }
    PrintUsage(GetStdHandle(STD_ERROR_HANDLE));
    return 2;
}

// Commands from standard input until it ends. A thread reads the lines;
// this one runs the commands and, between them, pumps the messages of the
// windows the driver made (a preview host must answer its messages).
struct LineQueue {
    CRITICAL_SECTION lock;
    std::vector<std::string> lines;
    bool ended = false;
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
};

DWORD WINAPI ReadLines(void* parameter) {
    auto* queue = static_cast<LineQueue*>(parameter);
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    char c;
    DWORD got = 0;
    for (;;) {
        const bool ok = ReadFile(in, &c, 1, &got, nullptr) && got == 1;
        if (!ok || c == '\n') {
            EnterCriticalSection(&queue->lock);
            if (!line.empty() || ok) queue->lines.push_back(line);
            if (!ok) queue->ended = true;
            LeaveCriticalSection(&queue->lock);
            SetEvent(queue->ready);
            line.clear();
            if (!ok) return 0;
        } else if (c != '\r') {
            line += c;
        }
    }
}

int Session() {
    LineQueue queue;
    InitializeCriticalSection(&queue.lock);
    CreateThread(nullptr, 0, ReadLines, &queue, 0, nullptr);
    for (;;) {
        MsgWaitForMultipleObjects(1, &queue.ready, FALSE, INFINITE, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        for (;;) {
            std::string line;
            bool ended;
            EnterCriticalSection(&queue.lock);
            const bool have = !queue.lines.empty();
            if (have) {
                line = queue.lines.front();
                queue.lines.erase(queue.lines.begin());
            }
            ended = queue.ended && queue.lines.empty();
            LeaveCriticalSection(&queue.lock);
            if (!have) {
                if (ended) return 0;
                break;
            }
            if (line.empty()) continue;
            std::vector<std::wstring> words = {L"driver"};
            size_t start = 0;
            for (;;) {
                const size_t tab = line.find('\t', start);
                words.push_back(Utf8ToWide(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
                if (tab == std::string::npos) break;
                start = tab + 1;
            }
            std::vector<wchar_t*> argv;
            for (std::wstring& w : words) argv.push_back(&w[0]);
            const int result = Run(static_cast<int>(argv.size()), argv.data());
            Print("= " + std::to_string(result) + "\n");
            if (ended) return 0;
        }
    }
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const int result = argc >= 2 && lstrcmpW(argv[1], L"session") == 0 ? Session() : Run(argc, argv);
    LocalFree(argv);
    return result;
}
