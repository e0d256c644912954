// The saver guard's thread, and the checks that what the command line names
// is the saver's own: anyone may start the renderer with any numbers after
// "/saver" and "/job".
#include "SaverGuard.h"

#include <tlhelp32.h>

#include "Utf16.h"

namespace {

constexpr DWORD kCleanEndMs = 700;  // how long the loop has to end the run by itself
constexpr DWORD kPutBackMs = 500;    // how long the guard waits for its own put-back

HANDLE HandleOf(uint64_t value) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)); }

// The process that started this one, as the system recorded it (kept after
// that process has ended).
DWORD ParentProcessId() {
    const win::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
    }
    return 0;
}

// The parent's process id, where the handle is one to this process's
// parent; else 0. The saver grants only SYNCHRONIZE: the id is asked of a
// copy of our own with the right to ask it (a handle of another kind, or to
// another process, fails or differs). While this process holds the handle,
// the parent's id is not given to another.
DWORD ParentBehind(HANDLE handle) {
    HANDLE asking = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &asking, PROCESS_QUERY_LIMITED_INFORMATION,
                         FALSE, 0)) {
        return 0;
    }
    const win::Handle owned(asking);
    const DWORD id = GetProcessId(asking);
    return id != 0 && id == ParentProcessId() ? id : 0;
}

// The job the parent made for this process, opened here by its name (an
// object of that name that is no job is not opened).
HANDLE OpenSaversJob(uint64_t number, DWORD parent) {
    if (number == 0) return nullptr;
    return OpenJobObjectW(JOB_OBJECT_QUERY, FALSE, Utf8ToWide(RendererJobName(parent, number)).c_str());
}

}  // namespace

SaverGuard::SaverGuard(HANDLE saver, HANDLE job, std::shared_ptr<DisplaySwitch> display)
    : saver_(saver),
      job_(job),
      loopClosed_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      display_(std::move(display)),
      loopThread_(GetCurrentThreadId()) {}

std::shared_ptr<SaverGuard> SaverGuard::Start(const RendererArguments& arguments,
                                              std::shared_ptr<DisplaySwitch> display) {
    const HANDLE saver = HandleOf(arguments.saverProcess);
    const DWORD parent = arguments.saverProcess != 0 ? ParentBehind(saver) : 0;
    if (parent == 0) return nullptr;
    auto guard = std::make_shared<SaverGuard>(saver, OpenSaversJob(arguments.saverJob, parent), std::move(display));
    auto* held = new std::shared_ptr<SaverGuard>(guard);  // the thread's share
    const win::Handle thread(guard->loopClosed_ ? CreateThread(nullptr, 0, &SaverGuard::Watch, held, 0, nullptr)
                                                : nullptr);
    guard->watching_ = static_cast<bool>(thread);
    if (!guard->watching_) {
        delete held;
        guard->job_.Reset();
    }
    return guard;
}

DWORD WINAPI SaverGuard::PutBackMode(void* data) {
    static_cast<SaverGuard*>(data)->display_->PutBack();
    return 0;
}

DWORD WINAPI SaverGuard::Watch(void* data) {
    const std::unique_ptr<std::shared_ptr<SaverGuard>> held(static_cast<std::shared_ptr<SaverGuard>*>(data));
    SaverGuard& guard = **held;
    if (WaitForSingleObject(guard.saver_, INFINITE) != WAIT_OBJECT_0) return 0;
    guard.saverGone_ = true;
    PostThreadMessageW(guard.loopThread_, WM_QUIT, 0, 0);  // wakes a loop that waits for messages
    if (WaitForSingleObject(guard.loopClosed_.get(), kCleanEndMs) == WAIT_OBJECT_0) {
        Sleep(kCleanEndMs);  // the loop's thread ends the process itself
    } else {
        // The loop is stuck. The mode goes back on a thread of its own, in
        // turn with any display call of the loop's: this one never waits
        // behind a call that does not return.
        const win::Handle putBack(CreateThread(nullptr, 0, &SaverGuard::PutBackMode, &guard, 0, nullptr));
        if (putBack) WaitForSingleObject(putBack.get(), kPutBackMs);
    }
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
