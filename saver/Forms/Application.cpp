#include "Application.h"

#include <algorithm>

#include "CommandLine.h"
#include "FormsInternal.h"
#include "Twips.h"
#include "Utf16.h"
#include "WinHandles.h"

namespace forms {

int Application::loadedForms_ = 0;
int Application::handlerDepth_ = 0;
std::vector<Application::Watched> Application::watched_;
std::vector<Application::Polled> Application::polled_;

namespace detail {

const wchar_t kFormClass[] = L"TaveloForm";

namespace {
MousePointer g_pointer = MousePointer::Default;
}  // namespace

HCURSOR CursorFor(MousePointer pointer) {
    switch (pointer) {
        case MousePointer::Hourglass: return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
        case MousePointer::Hand: return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
        default: return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    }
}

MousePointer CurrentPointer() { return g_pointer; }

void FollowPress(HWND window, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            SetCapture(window);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            // (The message's own button is already up in wParam.)
            if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == window) ReleaseCapture();
            break;
        default:
            break;
    }
}

void RegisterFormClass() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW form = {};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = DefWindowProcW;  // each window is then given its object's procedure
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = CursorFor(MousePointer::Arrow);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);
}

}  // namespace detail

namespace {

std::string g_title;

int DotsPerInch(int index) {
    const win::WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), index);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

void Application::Watch(const void* owner, HANDLE object, std::function<void()> onSignalled) {
    if (object != nullptr) watched_.push_back({owner, object, std::move(onSignalled)});
}

void Application::Poll(const void* owner, unsigned everyMs, std::function<void()> check) {
    polled_.push_back({owner, everyMs, GetTickCount(), std::move(check)});
}

void Application::Forget(const void* owner) {
    watched_.erase(std::remove_if(watched_.begin(), watched_.end(), [owner](const Watched& w) { return w.owner == owner; }),
                   watched_.end());
    polled_.erase(std::remove_if(polled_.begin(), polled_.end(), [owner](const Polled& p) { return p.owner == owner; }),
                  polled_.end());
}

void Application::Run() {
    while (loadedForms_ > 0) {
        std::vector<HANDLE> objects;
        for (const Watched& w : watched_) objects.push_back(w.object);
        DWORD timeout = INFINITE;
        for (const Polled& p : polled_) timeout = std::min<DWORD>(timeout, p.everyMs);
        const DWORD woke = MsgWaitForMultipleObjectsEx(static_cast<DWORD>(objects.size()), objects.data(), timeout,
                                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke < WAIT_OBJECT_0 + objects.size()) {
            const std::function<void()> onSignalled = watched_[woke - WAIT_OBJECT_0].onSignalled;
            watched_.erase(watched_.begin() + (woke - WAIT_OBJECT_0));
            HandlerScope scope;
            onSignalled();
        }
        const DWORD now = GetTickCount();
        for (size_t i = 0; i < polled_.size(); ++i) {
            if (now - polled_[i].last < polled_[i].everyMs) continue;
            polled_[i].last = now;
            const std::function<void()> check = polled_[i].check;
            HandlerScope scope;
            check();
        }
        MSG message;
        while (loadedForms_ > 0 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Application::EndAtOnce(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

int Application::LoadedForms() { return loadedForms_; }

bool Application::InHandler() { return handlerDepth_ > 0; }

std::string Application::CommandLine() { return ArgumentsOf(WideToUtf8(GetCommandLineW())); }

void Application::MsgBox(const std::string& text, HWND owner) {
    HandlerScope scope;  // no tick while the box is up
    MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(g_title).c_str(), MB_OK);
}

void Application::SetTitle(const std::string& title) { g_title = title; }

namespace {

// The attributes a new process starts with: exactly these handles to
// inherit, and the job to be in from its first instruction. An attribute
// the system does not know (a job before Windows 10) is left out.
class StartAttributes {
public:
    StartAttributes(std::vector<HANDLE> inherited, HANDLE job) : inherited_(std::move(inherited)), job_(job) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 2, 0, &size);
        buffer_.resize(size);
        list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (size == 0 || !InitializeProcThreadAttributeList(list_, 2, 0, &size)) {
            list_ = nullptr;
            return;
        }
        if (!inherited_.empty()) {
            handlesGiven_ = UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited_.data(),
                                                      inherited_.size() * sizeof(HANDLE), nullptr, nullptr) != FALSE;
        }
        if (job_ != nullptr) {
            inJob_ = UpdateProcThreadAttribute(list_, 0, ProcThreadAttributeValue(ProcThreadAttributeJobList, FALSE,
                                                                                   TRUE, FALSE),
                                               &job_, sizeof job_, nullptr, nullptr) != FALSE;
        }
    }
    ~StartAttributes() {
        if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
    }
    StartAttributes(const StartAttributes&) = delete;
    StartAttributes& operator=(const StartAttributes&) = delete;

    LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }
    // Whether the handles go to the child, and only they (never all of them:
    // without the list nothing is inherited).
    bool HandlesGiven() const { return handlesGiven_; }
    bool StartsInJob() const { return inJob_; }

private:
    std::vector<HANDLE> inherited_;  // the list points into it
    HANDLE job_;
    std::vector<char> buffer_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
    bool handlesGiven_ = false;
    bool inJob_ = false;
};

}  // namespace

HANDLE Application::Shell(const std::string& path, const std::string& arguments, const std::vector<HANDLE>& inherited,
                          HANDLE job) {
    const std::wstring program = Utf8ToWide(path);
    std::wstring commandLine = L"\"" + program + L"\"";  // a folder with blanks stays one argument
    if (!arguments.empty()) commandLine += L" " + Utf8ToWide(arguments);
    const StartAttributes attributes(inherited, job);
    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_SHOWNORMAL;
    startup.lpAttributeList = attributes.list();
    PROCESS_INFORMATION process = {};
    // Never suspended: a saver that dies before it would resume the child
    // would leave it waiting for good. The child copes with a saver gone.
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, attributes.HandlesGiven(),
                        attributes.list() != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0, nullptr, nullptr,
                        &startup.StartupInfo, &process)) {
        return nullptr;
    }
    const win::Handle thread(process.hThread);
    if (job != nullptr && !attributes.StartsInJob()) AssignProcessToJobObject(job, process.hProcess);
    AllowSetForegroundWindow(process.dwProcessId);  // its window may take the focus
    return process.hProcess;
}

int Screen::DotsPerInchX() { return DotsPerInch(LOGPIXELSX); }
int Screen::DotsPerInchY() { return DotsPerInch(LOGPIXELSY); }
double Screen::TwipsPerPixelX() { return TwipsPerPixel(DotsPerInchX()); }
double Screen::TwipsPerPixelY() { return TwipsPerPixel(DotsPerInchY()); }
int Screen::PixelsX(double twips) { return TwipsToPixels(twips, DotsPerInchX()); }
int Screen::PixelsY(double twips) { return TwipsToPixels(twips, DotsPerInchY()); }
int Screen::TwipsX(double pixels) { return PixelsToTwips(pixels, DotsPerInchX()); }
int Screen::TwipsY(double pixels) { return PixelsToTwips(pixels, DotsPerInchY()); }
int Screen::WidthPixels() { return GetSystemMetrics(SM_CXSCREEN); }
int Screen::HeightPixels() { return GetSystemMetrics(SM_CYSCREEN); }
int Screen::VirtualLeft() { return GetSystemMetrics(SM_XVIRTUALSCREEN); }
int Screen::VirtualTop() { return GetSystemMetrics(SM_YVIRTUALSCREEN); }
int Screen::VirtualWidth() { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
int Screen::VirtualHeight() { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }
int Screen::Width() { return TwipsX(WidthPixels()); }
int Screen::Height() { return TwipsY(HeightPixels()); }

void Screen::SetMousePointer(MousePointer pointer) {
    detail::g_pointer = pointer;
    SetCursor(detail::CursorFor(pointer == MousePointer::Default ? MousePointer::Arrow : pointer));
}

MousePointer Screen::GetMousePointer() { return detail::g_pointer; }

}  // namespace forms
